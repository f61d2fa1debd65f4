#include "tools/actionscript/BuiltinMembers.h"

namespace lumbra::actionscript {

namespace {

// The classes authors extend, with the members of their declarations
// (properties, methods and event handlers of the instances).
const BuiltinClass kClasses[] = {
    {"Object", nullptr,
     {"addProperty", "constructor", "hasOwnProperty", "isPropertyEnumerable", "isPrototypeOf", "toString",
      "unwatch", "valueOf", "watch", "__proto__", "__resolve"}},
    {"MovieClip", "Object",
     {"_alpha", "blendMode", "cacheAsBitmap", "_currentframe", "_droptarget", "enabled", "filters",
      "focusEnabled", "_focusrect", "forceSmoothing", "_framesloaded", "_height", "_highquality", "hitArea",
      "_lockroot", "menu", "_name", "opaqueBackground", "_parent", "_quality", "_rotation", "scale9Grid",
      "scrollRect", "_soundbuftime", "tabChildren", "tabEnabled", "tabIndex", "_target", "_totalframes",
      "trackAsMenu", "transform", "_url", "useHandCursor", "_visible", "_width", "_x", "_xmouse", "_xscale",
      "_y", "_ymouse", "_yscale", "attachAudio", "attachBitmap", "attachMovie", "beginBitmapFill", "beginFill",
      "beginGradientFill", "clear", "createEmptyMovieClip", "createTextField", "curveTo", "duplicateMovieClip",
      "endFill", "getBounds", "getBytesLoaded", "getBytesTotal", "getDepth", "getInstanceAtDepth",
      "getNextHighestDepth", "getRect", "getSWFVersion", "getTextSnapshot", "getURL", "globalToLocal",
      "gotoAndPlay", "gotoAndStop", "hitTest", "lineGradientStyle", "lineStyle", "lineTo", "loadMovie",
      "loadVariables", "localToGlobal", "moveTo", "nextFrame", "play", "prevFrame", "removeMovieClip",
      "setMask", "startDrag", "stop", "stopDrag", "swapDepths", "unloadMovie", "onData", "onDragOut",
      "onDragOver", "onEnterFrame", "onKeyDown", "onKeyUp", "onKillFocus", "onLoad", "onMouseDown",
      "onMouseMove", "onMouseUp", "onPress", "onRelease", "onReleaseOutside", "onRollOut", "onRollOver",
      "onSetFocus", "onUnload"}},
    {"TextField", "Object",
     {"_alpha", "antiAliasType", "autoSize", "background", "backgroundColor", "border", "borderColor",
      "bottomScroll", "condenseWhite", "embedFonts", "filters", "gridFitType", "_height", "hscroll", "html",
      "htmlText", "length", "maxChars", "maxhscroll", "maxscroll", "menu", "mouseWheelEnabled", "multiline",
      "_name", "_parent", "password", "_quality", "restrict", "_rotation", "scroll", "selectable", "sharpness",
      "styleSheet", "tabEnabled", "tabIndex", "_target", "text", "textColor", "textHeight", "textWidth",
      "thickness", "type", "_url", "variable", "_visible", "_width", "wordWrap", "_x", "_xmouse", "_xscale",
      "_y", "_ymouse", "_yscale", "addListener", "getDepth", "getNewTextFormat", "getTextFormat",
      "removeListener", "removeTextField", "replaceSel", "replaceText", "setNewTextFormat", "setTextFormat",
      "onChanged", "onKillFocus", "onScroller", "onSetFocus"}},
    {"Error", "Object", {"message", "name"}},
    {"Array", "Object",
     {"length", "concat", "join", "pop", "push", "reverse", "shift", "slice", "sort", "sortOn", "splice",
      "unshift"}},
    {"Sound", "Object",
     {"duration", "id3", "position", "attachSound", "getBytesLoaded", "getBytesTotal", "getPan",
      "getTransform", "getVolume", "loadSound", "setPan", "setTransform", "setVolume", "start", "stop",
      "onID3", "onLoad", "onSoundComplete"}},
    {"XMLNode", "Object",
     {"attributes", "childNodes", "firstChild", "lastChild", "localName", "namespaceURI", "nextSibling",
      "nodeName", "nodeType", "nodeValue", "parentNode", "prefix", "previousSibling", "appendChild",
      "cloneNode", "getNamespaceForPrefix", "getPrefixForNamespace", "hasChildNodes", "insertBefore",
      "removeNode"}},
    {"XML", "XMLNode",
     {"contentType", "docTypeDecl", "idMap", "ignoreWhite", "loaded", "status", "xmlDecl", "addRequestHeader",
      "createElement", "createTextNode", "getBytesLoaded", "getBytesTotal", "load", "parseXML", "send",
      "sendAndLoad", "onData", "onHTTPStatus", "onLoad"}},
    {"LoadVars", "Object",
     {"contentType", "loaded", "addRequestHeader", "decode", "getBytesLoaded", "getBytesTotal", "load", "send",
      "sendAndLoad", "onData", "onHTTPStatus", "onLoad"}},
};

} // namespace

const BuiltinClass* builtinClass(const std::string& name)
{
    for (const BuiltinClass& type : kClasses)
        if (name == type.name)
            return &type;
    return nullptr;
}

} // namespace lumbra::actionscript

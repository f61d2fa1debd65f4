// What the data classes (XML, LoadVars, loadVariables) share: reading a file
// through the host, turning its bytes into text, the URL-encoded variable
// format, and delivering what was read on a later frame as the reference
// player does, even when the file was at hand at once.
#pragma once

#include "control/movie/actions/Machine.h"

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace lumbra::movie {

// Reads `url` now and has `deliver` run with `target` as this on the next
// frame, with the text and its length in bytes as arguments (both undefined
// when it could not be read).
void loadLater(Machine& m, const Value& target, NativeFunction deliver, const std::u16string& url);

// Loaded bytes as text: a byte-order mark decides; without one, UTF-8 for
// version 6 and later unless System.useCodepage is set, Windows-1252 else.
std::u16string decodeLoadedText(Machine& m, std::string_view bytes);

// "a=1&b=two+words&c=%41": the pairs in order, "+" and %XX decoded.
std::vector<std::pair<std::u16string, std::u16string>> decodeVariables(Machine& m, std::u16string_view text);
// The other way: letters and digits stay, everything else becomes %XX.
std::u16string encodeVariable(Machine& m, std::u16string_view text);

// XML and LoadVars: marks `target` (an object) not loaded and loads `url`
// into it: on a later frame its byte counts are set and its onData method
// gets the text.
void startLoad(Machine& m, const Value& target, const std::u16string& url);
// The methods XML and LoadVars share: load(url); send(url), which sends
// nothing and answers false; sendAndLoad(url, target), which reads a local
// file as if a server had answered; getBytesLoaded / getBytesTotal (undefined
// before a load); addRequestHeader, ignored; and an empty onLoad.
void addLoadingMethods(Machine& m, ActionObject* proto);

// The GetURL2 flag that makes it loadVariables: the URL's variables go to the target.
inline constexpr unsigned kLoadVariablesFlag = 0x80;

// loadVariables / loadVariablesNum: the variables of the file become
// variables of the clip `target` names (relative to `from`), which then gets
// its data event.
void loadVariables(Machine& m, DisplayObject& from, const std::u16string& url, const std::u16string& target);
// MovieClip.loadVariables: the file's variables go to the clip itself.
void loadVariablesInto(Machine& m, const std::shared_ptr<DisplayObject>& clip, const std::u16string& url);

} // namespace lumbra::movie

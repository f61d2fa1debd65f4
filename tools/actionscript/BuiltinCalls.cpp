// The global functions the authoring tools compile to actions of their own
// rather than to calls: trace, the timeline controls, getURL and its kin,
// fscommand, the movie-clip and string functions of the older versions.
#include "tools/actionscript/CodeGenerator.h"

#include <array>
#include <functional>
#include <string_view>
#include <vector>


namespace lumbra::actionscript {

using orvet::NodeKind;
using orvet::SyntaxNode;

namespace {

// A function that is one action on its arguments pushed in order.
struct SimpleBuiltin {
    std::string_view name;
    int arguments;
    Action action;
    bool pushes;
};

constexpr SimpleBuiltin kSimple[] = {
    {"trace", 1, Action::Trace, false}, {"getTimer", 0, Action::GetTime, true},
    {"eval", 1, Action::GetVariable, true}, {"set", 2, Action::SetVariable, false},
    {"targetPath", 1, Action::TargetPath, true}, {"int", 1, Action::ToInteger, true},
    {"random", 1, Action::RandomNumber, true}, {"chr", 1, Action::AsciiToChar, true},
    {"ord", 1, Action::CharToAscii, true}, {"length", 1, Action::StringLength, true},
    {"substring", 3, Action::StringExtract, true}, {"mbchr", 1, Action::MBAsciiToChar, true},
    {"mbord", 1, Action::MBCharToAscii, true}, {"mblength", 1, Action::MBStringLength, true},
    {"mbsubstring", 3, Action::MBStringExtract, true}, {"play", 0, Action::Play, false},
    {"stop", 0, Action::Stop, false}, {"nextFrame", 0, Action::NextFrame, false},
    {"prevFrame", 0, Action::PreviousFrame, false}, {"stopAllSounds", 0, Action::StopSounds, false},
    {"toggleHighQuality", 0, Action::ToggleQuality, false}, {"stopDrag", 0, Action::EndDrag, false},
    {"removeMovieClip", 1, Action::RemoveSprite, false},
};

// The movie-clip properties getProperty and setProperty take, by number.
constexpr std::array<std::string_view, 22> kProperties = {
    "_x", "_y", "_xscale", "_yscale", "_currentframe", "_totalframes", "_alpha", "_visible",
    "_width", "_height", "_rotation", "_target", "_framesloaded", "_name", "_droptarget", "_url",
    "_highquality", "_focusrect", "_soundbuftime", "_quality", "_xmouse", "_ymouse",
};

// GetURL2's flags: the method in the low bits, then what it loads.
enum : std::uint8_t { LoadTarget = 0x40, LoadVariables = 0x80 };

bool isString(const SyntaxNode* node) { return node->kind == NodeKind::String; }

} // namespace

bool CodeGenerator::builtinCall(const SyntaxNode* node, bool& pushed)
{
    const std::string& name = node->a->text;
    std::vector<const SyntaxNode*> args(std::size_t(node->count));
    {
        std::size_t i = args.size();
        for (const SyntaxNode* arg = node->b; arg; arg = arg->next)
            args[--i] = arg;
    }
    const int count = node->count;
    auto requireArguments = [&](int least, int most) {
        if (count < least || count > most)
            fail(node, name + " takes " + (least == most ? std::to_string(least)
                                                         : std::to_string(least) + " to " + std::to_string(most))
                           + (most == 1 ? " argument" : " arguments"));
    };
    // The request method: "GET" 1, "POST" 2, none 0.
    auto method = [&](std::size_t at) -> std::uint8_t {
        if (args.size() <= at)
            return 0;
        const SyntaxNode* arg = args[at];
        if (!isString(arg) || (arg->text != "GET" && arg->text != "POST"))
            fail(arg, name + ": the method is \"GET\" or \"POST\"");
        return arg->text == "GET" ? 1 : 2;
    };
    // A level number as a target: "_level3", or "_level" + the value.
    auto level = [&](const SyntaxNode* arg) {
        if (arg->kind == NodeKind::Integer)
            return out().pushString("_level" + std::to_string(arg->integer));
        out().pushString("_level");
        expression(arg);
        out().op(Action::Add2);
    };
    auto getUrl2 = [&](std::uint8_t flags) { out().record(Action::GetURL2, {flags}); };
    auto getUrl = [&](const std::string& url, const std::string& window) {
        Bytes body;
        appendCString(body, movieString(node, url));
        appendCString(body, movieString(node, window));
        out().record(Action::GetURL, body);
    };

    pushed = false;
    for (const SimpleBuiltin& builtin : kSimple) {
        if (builtin.name != name)
            continue;
        requireArguments(builtin.arguments, builtin.arguments);
        for (const SyntaxNode* arg : args)
            expression(arg);
        out().op(builtin.action);
        pushed = builtin.pushes;
        return true;
    }
    if (name == "gotoAndPlay" || name == "gotoAndStop") {
        // (frame) or (scene, frame): a scene is not kept apart here.
        requireArguments(1, 2);
        const SyntaxNode* frame = args.back();
        const bool play = name == "gotoAndPlay";
        if (frame->kind == NodeKind::Integer && frame->integer >= 1 && frame->integer <= 0x10000) {
            Bytes body;
            appendU16(body, std::size_t(frame->integer - 1));
            out().record(Action::GotoFrame, body);
            if (play)
                out().op(Action::Play);
        } else if (isString(frame)) {
            Bytes body;
            appendCString(body, movieString(frame, frame->text));
            out().record(Action::GotoLabel, body);
            if (play)
                out().op(Action::Play);
        } else {
            expression(frame);
            out().record(Action::GotoFrame2, {std::uint8_t(play ? 1 : 0)});
        }
        return true;
    }
    if (name == "getURL") {
        requireArguments(1, 3);
        std::uint8_t how = method(2);
        if (how == 0 && isString(args[0]) && (count < 2 || isString(args[1]))) {
            getUrl(args[0]->text, count < 2 ? std::string() : args[1]->text);
            return true;
        }
        expression(args[0]);
        if (count < 2)
            out().pushString("");
        else
            expression(args[1]);
        getUrl2(how);
        return true;
    }
    if (name == "fscommand") {
        requireArguments(1, 2);
        if (isString(args[0]) && (count < 2 || isString(args[1]))) {
            getUrl("FSCommand:" + args[0]->text, count < 2 ? std::string() : args[1]->text);
            return true;
        }
        out().pushString("FSCommand:");
        expression(args[0]);
        out().op(Action::Add2);
        if (count < 2)
            out().pushString("");
        else
            expression(args[1]);
        getUrl2(0);
        return true;
    }
    const bool movie = name == "loadMovie" || name == "loadMovieNum";
    const bool variables = name == "loadVariables" || name == "loadVariablesNum";
    if (movie || variables) {
        requireArguments(2, 3);
        std::uint8_t how = method(2);
        expression(args[0]);
        const bool byLevel = name.ends_with("Num");
        if (byLevel)
            level(args[1]);
        else
            expression(args[1]);
        getUrl2(std::uint8_t(how | (byLevel ? 0 : LoadTarget) | (variables ? LoadVariables : 0)));
        return true;
    }
    if (name == "unloadMovie" || name == "unloadMovieNum") {
        requireArguments(1, 1);
        out().pushString("");
        if (name == "unloadMovieNum") {
            level(args[0]);
            getUrl2(0);
        } else {
            expression(args[0]);
            getUrl2(LoadTarget);
        }
        return true;
    }
    if (name == "getProperty" || name == "setProperty") {
        const bool get = name == "getProperty";
        requireArguments(get ? 2 : 3, get ? 2 : 3);
        const SyntaxNode* property = args[1];
        std::size_t index = 0;
        while (index < kProperties.size()
               && !((property->kind == NodeKind::Identifier || isString(property)) && property->text == kProperties[index]))
            ++index;
        if (index == kProperties.size())
            fail(property, name + ": no movie-clip property named so");
        expression(args[0]);
        out().pushNumber(double(index));
        if (!get)
            expression(args[2]);
        out().op(get ? Action::GetProperty : Action::SetProperty);
        pushed = get;
        return true;
    }
    if (name == "duplicateMovieClip") {
        // Script-made clips live 16384 depths above the timeline's.
        requireArguments(3, 3);
        expression(args[0]);
        expression(args[1]);
        expression(args[2]);
        out().pushNumber(16384);
        out().op(Action::Add2);
        out().op(Action::CloneSprite);
        return true;
    }
    if (name == "startDrag") {
        // (target, lockCenter, left, top, right, bottom): StartDrag pops the
        // target, lockCenter, whether constrained, then the rectangle.
        if (count != 1 && count != 2 && count != 6)
            fail(node, "startDrag takes 1, 2 or 6 arguments");
        const bool constrained = count == 6;
        for (std::size_t i = 2; constrained && i < 6; ++i)
            expression(args[i]);
        out().pushNumber(constrained ? 1 : 0);
        if (count >= 2)
            expression(args[1]);
        else
            out().pushBoolean(false);
        expression(args[0]);
        out().op(Action::StartDrag);
        return true;
    }
    if (name == "call") {
        requireArguments(1, 1);
        expression(args[0]);
        out().record(Action::Call, {});
        return true;
    }
    return false;
}

} // namespace lumbra::actionscript

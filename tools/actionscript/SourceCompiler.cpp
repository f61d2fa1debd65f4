#include "tools/actionscript/SourceCompiler.h"

#include <string>

#include "tools/actionscript/ClipEvents.h"
#include "tools/actionscript/CodeGenerator.h"
#include "tools/actionscript/SourceParser.h"

namespace lumbra::actionscript {

std::vector<std::uint8_t> compileActions(std::string_view source, int version, int firstLine,
                                         const std::set<std::string>& movieClasses)
{
    SourceParser parser;
    const orvet::ParsedProgram program = parser.parse(source, version, firstLine, movieClasses);
    std::vector<std::uint8_t> code = CodeGenerator(version, firstLine).program(program.topLevel);
    code.push_back(0);
    return code;
}

FrameCode compileFrame(std::string_view source, int version, int firstLine, const std::set<std::string>& movieClasses)
{
    SourceParser parser;
    const orvet::ParsedProgram program = parser.parse(source, version, firstLine, movieClasses);
    orvet::NodeList classes, rest;
    for (orvet::SyntaxNode* node = program.topLevel; node;) {
        orvet::SyntaxNode* next = node->next;
        node->next = nullptr;
        const bool writesClass = node->kind == orvet::NodeKind::Class && !(node->op & orvet::class_flag::Intrinsic);
        (writesClass ? classes : rest).append(node);
        node = next;
    }
    FrameCode frame;
    if (classes.head) {
        frame.classes = CodeGenerator(version, firstLine).program(classes.head);
        frame.classes.push_back(0);
    }
    frame.actions = CodeGenerator(version, firstLine).program(rest.head);
    frame.actions.push_back(0);
    return frame;
}

// Handlers are taken out of the statement list; what is left is the frame's.
ClipCode compileClip(std::string_view source, int version, int firstLine, const std::set<std::string>& movieClasses)
{
    SourceParser parser;
    const orvet::ParsedProgram program = parser.parse(source, version, firstLine, movieClasses);
    ClipCode clip;
    orvet::NodeList rest;
    for (orvet::SyntaxNode* node = program.topLevel; node;) {
        orvet::SyntaxNode* next = node->next;
        node->next = nullptr;
        if (node->kind != orvet::NodeKind::With || !node->flag || node->text == "tellTarget") {
            rest.append(node);
            node = next;
            continue;
        }
        ClipEventCode handler;
        for (const orvet::SyntaxNode* event = node->a; event; event = event->next) {
            auto flag = event->kind == orvet::NodeKind::Identifier ? clipEventFlag(event->text) : std::nullopt;
            if (!flag || (version < 6 && *flag > 0xFFFF))
                throw SourceError(event->line + firstLine,
                                  node->text + ": no event " + (event->kind == orvet::NodeKind::Identifier ? event->text : "here")
                                      + (flag ? " before version 6" : ""));
            handler.events |= *flag;
        }
        if (!handler.events)
            throw SourceError(node->line + firstLine, node->text + " names no event");
        const orvet::SyntaxNode* block = node->b;
        handler.actions = CodeGenerator(version, firstLine)
                              .program(block->kind == orvet::NodeKind::Block ? block->a : nullptr);
        handler.actions.push_back(0);
        clip.events.push_back(std::move(handler));
        node = next;
    }
    clip.actions = CodeGenerator(version, firstLine).program(rest.head);
    clip.actions.push_back(0);
    return clip;
}

} // namespace lumbra::actionscript

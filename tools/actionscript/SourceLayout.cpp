#include "tools/actionscript/SourceLayout.h"

#include <algorithm>

#include "tools/actionscript/SourceError.h"

namespace lumbra::actionscript {

namespace {

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && (text.back() == '\r' || text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    return text;
}

// The rest of "#word rest", or nothing when the line is not that directive.
bool directive(std::string_view line, std::string_view word, std::string_view& rest)
{
    if (!line.starts_with(word) || (line.size() > word.size() && line[word.size()] != ' '))
        return false;
    rest = trimmed(line.substr(word.size()));
    return true;
}

class LayoutReader {
public:
    std::vector<FrameLayout> read(std::string_view source)
    {
        frames_.emplace_back();
        for (std::size_t start = 0; start <= source.size(); ++line_) {
            std::size_t end = std::min(source.find('\n', start), source.size());
            readLine(source.substr(start, end - start));
            start = end + 1;
        }
        if (open_ != Open::Actions)
            throw SourceError(openedOn_, open_ == Open::Clip ? "#clip without #endclip" : "#initclip without #endinitclip");
        return std::move(frames_);
    }

private:
    enum class Open { Actions, Init, Clip };

    void readLine(std::string_view text)
    {
        std::string_view line = trimmed(text), rest;
        FrameLayout& frame = frames_.back();
        if (!line.starts_with('#') || line.starts_with("#'")) {
            append(text);
        } else if (directive(line, "#frame", rest) && rest.empty()) {
            expectOpen(Open::Actions, "#frame");
            frames_.emplace_back().actions.firstLine = line_ + 1;
        } else if (directive(line, "#label", rest)) {
            if (rest.empty())
                throw SourceError(line_, "#label needs a name");
            frame.labels.emplace_back(rest);
            append({});
        } else if (directive(line, "#initclip", rest) && rest.empty()) {
            expectOpen(Open::Actions, "#initclip");
            append({});
            frame.initActions.push_back({{}, line_ + 1});
            open_ = Open::Init;
            openedOn_ = line_;
        } else if (directive(line, "#clip", rest)) {
            expectOpen(Open::Actions, "#clip");
            if (rest.empty())
                throw SourceError(line_, "#clip needs an instance name");
            append({});
            frame.clips.push_back({std::string(rest), {{}, line_ + 1}});
            open_ = Open::Clip;
            openedOn_ = line_;
        } else if (directive(line, "#export", rest)) {
            expectOpen(Open::Actions, "#export");
            if (rest.empty())
                throw SourceError(line_, "#export needs a name");
            frame.exports.emplace_back(rest);
            append({});
        } else if ((directive(line, "#endinitclip", rest) || directive(line, "#endclip", rest)) && rest.empty()) {
            expectOpen(line == "#endclip" ? Open::Clip : Open::Init, line);
            open_ = Open::Actions;
            append({});
        } else {
            throw SourceError(line_, "unknown directive " + std::string(line));
        }
    }

    void expectOpen(Open open, std::string_view what)
    {
        if (open_ != open)
            throw SourceError(line_, std::string(what) + " does not belong here");
    }

    // The line goes to the open script; the frame's actions get an empty
    // line in place of another script's.
    void append(std::string_view text)
    {
        FrameLayout& frame = frames_.back();
        Script& target = open_ == Open::Init   ? frame.initActions.back()
                         : open_ == Open::Clip ? frame.clips.back().script
                                               : frame.actions;
        target.source.append(text);
        target.source += '\n';
        if (&target != &frame.actions)
            frame.actions.source += '\n';
    }

    std::vector<FrameLayout> frames_;
    Open open_ = Open::Actions;
    int line_ = 1;
    int openedOn_ = 0; // the line of the open #clip or #initclip
};

} // namespace

std::vector<FrameLayout> layoutOf(std::string_view source)
{
    return LayoutReader().read(source);
}

} // namespace lumbra::actionscript

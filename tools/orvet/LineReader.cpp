#include "tools/orvet/LineReader.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>

#ifdef _WIN32
#include <io.h>
#else
#include <editline/readline.h>
#include <unistd.h>
#endif

namespace orvet::tool {

namespace {

bool inputIsTerminal()
{
#ifdef _WIN32
    return _isatty(_fileno(stdin)) != 0;
#else
    return isatty(STDIN_FILENO) != 0;
#endif
}

std::optional<std::string> plainLine(std::istream& in)
{
    std::string line;
    if (!std::getline(in, line))
        return std::nullopt;
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return line;
}

} // namespace

LineReader::LineReader() : terminal_(inputIsTerminal())
{
#ifndef _WIN32
    if (terminal_)
        using_history();
#endif
}

LineReader::~LineReader()
{
#ifndef _WIN32
    if (terminal_)
        clear_history();
#endif
}

std::optional<std::string> LineReader::read(const char* prompt)
{
    if (!terminal_)
        return plainLine(std::cin);
#ifdef _WIN32
    // The console edits the line and keeps its history (arrows, F7).
    std::fputs(prompt, stdout);
    std::fflush(stdout);
    return plainLine(std::cin);
#else
    char* line = readline(prompt);
    if (!line)
        return std::nullopt;
    std::string text(line);
    std::free(line);
    return text;
#endif
}

void LineReader::remember(const std::string& text)
{
#ifndef _WIN32
    if (terminal_ && !text.empty())
        add_history(text.c_str());
#endif
}

} // namespace orvet::tool

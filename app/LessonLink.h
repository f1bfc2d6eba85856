#pragma once
// The bracketed links of a lesson: "See [Pendulum.VXT] next" names another lesson, a model file
// or the help system's glossary.
#include <string>

struct LessonLink
{
    enum Kind
    {
        None,      // no link: the double-click selects a word as usual
        Lesson,    // *.vxt
        Glossary,  // glossary.hlp
        OtherHelp, // any other *.hlp: the help system is reached only through the glossary
        Model      // *.ns1, *.ds1, *.ds2, *.ds3
    };
    Kind kind = None;
    std::string name; // lower-cased text between the first "[" and the first "]"
};

// The link of a line of text.
LessonLink ParseLessonLink(const std::string& line);

// The existing file that a link name names, matched without regard to case in each folder of
// its path (link names are lower-cased, file names here are not), as an absolute path; empty
// when there is none. Relative names are taken from the current directory.
std::string ResolveLinkPath(const std::string& name);

#pragma once

#include <vector>

namespace quillet::app {

// What QApplication is given of the command line: the program's name, each argument
// that starts with '-', and the one after each (the value of a Qt option such as -style or
// -platform). Qt looks at every argument it gets, and its X11 platform makes a QString of each
// (QCoreApplication::arguments(), for the window class) when the first window is created: with
// 100,000 paths on the line that alone held the window back by tens of milliseconds. A path
// that does not start with '-' and follows none is never a Qt option, so Qt need not see it.
class QtArguments {
public:
    QtArguments(int argc, char* argv[]);

    // For QApplication (and QCoreApplication), which take out the options that are theirs.
    // Both stay valid as long as this object lives, as Qt requires.
    [[nodiscard]] int& argc() { return m_argc; }
    [[nodiscard]] char** argv() { return m_argv.data(); }

    // Takes out of the whole line, in place, what Qt took out of its own share of it; false when Qt
    // took nothing and the line is as it was.
    bool applyTo(int& argc, char* argv[]) const;

private:
    std::vector<char*> m_given; // as given to Qt, before it took anything out
    std::vector<char*> m_argv;  // what Qt works on, ending with a null pointer
    int m_argc = 0;
};

} // namespace quillet::app

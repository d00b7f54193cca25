#include "qtarguments.h"

#include <algorithm>
#include <functional>

namespace quillet::app {

QtArguments::QtArguments(int argc, char* argv[])
{
    for (int i = 0; i < argc; ++i) {
        const bool option = i > 0 && argv[i][0] == '-';
        const bool afterOption = i > 1 && argv[i - 1][0] == '-';
        if (i == 0 || option || afterOption)
            m_given.push_back(argv[i]);
    }
    m_argv = m_given;
    m_argv.push_back(nullptr);
    m_argc = int(m_given.size());
}

bool QtArguments::applyTo(int& argc, char* argv[]) const
{
    // Qt keeps the arguments it does not take, in their order, at the front of its array: the
    // taken ones are those given but no longer there. The same text may stand twice on a line,
    // so they are told apart by their address, not their text.
    std::vector<char*> kept(m_argv.begin(), m_argv.begin() + m_argc);
    const std::less<char*> order; // a total order even over unrelated pointers
    std::sort(kept.begin(), kept.end(), order);
    std::vector<char*> taken;
    for (char* argument : m_given) {
        if (!std::binary_search(kept.begin(), kept.end(), argument, order))
            taken.push_back(argument);
    }
    if (taken.empty())
        return false;
    std::sort(taken.begin(), taken.end(), order);
    const auto end = std::remove_if(argv, argv + argc, [&taken, order](char* argument) {
        return std::binary_search(taken.begin(), taken.end(), argument, order);
    });
    argc = int(end - argv);
    argv[argc] = nullptr;
    return true;
}

} // namespace quillet::app

// SPDX-License-Identifier: MIT
#pragma once
// The floor's tick: Tikor.dat read with POSIX calls and split at its line
// ends. The floor program runs it on its timer; the tick benchmark measures
// the very same code beside the program's tick.

#include <fcntl.h>
#include <unistd.h>

#include <string>
#include <string_view>
#include <vector>

// The whole file, split at its line ends; no lines when it cannot be opened.
// The lines point into `bytes`.
inline std::vector<std::string_view> readLines(std::string &bytes)
{
    bytes.clear();
    std::vector<std::string_view> lines;
    const int fd = ::open("Tikor.dat", O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return lines;
    char buffer[8192];
    ssize_t got;
    while ((got = ::read(fd, buffer, sizeof buffer)) > 0)
        bytes.append(buffer, size_t(got));
    ::close(fd);
    std::string_view rest(bytes);
    while (!rest.empty()) {
        const size_t end = rest.find('\n');
        lines.push_back(rest.substr(0, end));
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    }
    return lines;
}

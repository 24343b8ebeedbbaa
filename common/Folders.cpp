#include "Folders.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace skyloom {

bool makeFolders(const std::string& dir, std::string* error) {
    if (dir.empty()) {
        if (error)
            *error = "no folder named";
        return false;
    }
    std::string partial;
    std::size_t pos = 0;
    while (pos != std::string::npos) {
        pos = dir.find('/', pos + 1);
        partial = dir.substr(0, pos);
        if (partial.empty())
            continue;
        if (::mkdir(partial.c_str(), 0755) != 0 && errno != EEXIST) {
            if (error)
                *error = "cannot create " + partial + ": " + std::strerror(errno);
            return false;
        }
    }
    struct stat st {};
    if (::stat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
        return true;
    if (error)
        *error = dir + " is not a folder";
    return false;
}

} // namespace skyloom

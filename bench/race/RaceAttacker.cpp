// The other user of bench/race: while a cleanup runs over a tree this user owns, it keeps swapping
// folders on the way to the candidates (and folders inside them) for links to a victim tree, each
// swap one atomic exchange of names, so the cleanup meets a link at any moment of its work.
//   race-attacker TREE VICTIM STOPFILE  -> prints the number of exchanges made
#include <cstdio>
#include <fcntl.h>
#include <random>
#include <stdio.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Puts a link to `target` in the place of `name` for a random short while, then the folder back.
bool exchange(int dirFd, const std::string &name, const std::string &target, unsigned long n, unsigned hold)
{
    const std::string link = "." + name + ".link" + std::to_string(n);
    if (::symlinkat(target.c_str(), dirFd, link.c_str()) != 0) {
        return false;
    }
    const bool swapped = ::renameat2(dirFd, link.c_str(), dirFd, name.c_str(), RENAME_EXCHANGE) == 0;
    if (swapped) {
        ::usleep(hold);
        ::renameat2(dirFd, link.c_str(), dirFd, name.c_str(), RENAME_EXCHANGE);
    }
    ::unlinkat(dirFd, link.c_str(), 0);
    return swapped;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: race-attacker TREE VICTIM STOPFILE\n");
        return 2;
    }
    const std::string tree = argv[1];
    const std::string victim = argv[2];
    const std::string stop = argv[3];
    std::minstd_rand random(static_cast<unsigned>(::getpid()));
    unsigned long exchanges = 0;
    struct stat status {};
    for (unsigned long n = 0; ::stat(stop.c_str(), &status) != 0; ++n) {
        // The project folder above a candidate, or a package folder inside it.
        const std::string project = "p" + std::to_string(random() % 4);
        const bool inside = random() % 2 == 0;
        const std::string folder = inside ? tree + "/" + project + "/node_modules" : tree;
        const std::string name = inside ? "pkg" + std::to_string(random() % 8) : project;
        const int dirFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (dirFd < 0) {
            continue;
        }
        if (exchange(dirFd, name, inside ? victim + "/pkg" : victim + "/" + project, n,
                     static_cast<unsigned>(random() % 3000))) {
            ++exchanges;
        }
        ::close(dirFd);
    }
    std::printf("%lu\n", exchanges);
    return 0;
}

// Writes ROOT/pN/mM/__pycache__/x.cpython-311.pyc for FOLDERS folders: a tree whose scan yields
// exactly FOLDERS small candidates.
//
//   generate-pycache-tree ROOT FOLDERS

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char **argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: generate-pycache-tree ROOT FOLDERS\n");
        return 2;
    }
    const std::string root = argv[1];
    const long folders = std::atol(argv[2]);
    ::mkdir(root.c_str(), 0755);
    for (long i = 0; i < folders; ++i) {
        const std::string package = root + "/p" + std::to_string(i / 100);
        const std::string module = package + "/m" + std::to_string(i % 100);
        if (i % 100 == 0) {
            ::mkdir(package.c_str(), 0755);
        }
        ::mkdir(module.c_str(), 0755);
        const std::string cache = module + "/__pycache__";
        ::mkdir(cache.c_str(), 0755);
        const int fd = ::open((cache + "/x.cpython-311.pyc").c_str(), O_WRONLY | O_CREAT, 0644);
        (void)!::write(fd, "bytecode", 8);
        ::close(fd);
    }
    return 0;
}

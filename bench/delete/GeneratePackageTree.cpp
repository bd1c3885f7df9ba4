// Writes one installed-packages folder of exactly ENTRIES entries (the folder itself included):
// packages with a package.json, sources in lib/ and, now and then, a nested node_modules, with
// mostly small files as real package trees have. Seeded, so the same arguments give the same tree.
//
//   generate-package-tree FOLDER [ENTRIES=200000] [SEED=42]
//
// FOLDER must not exist yet; it is usually ROOT/project/node_modules.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

namespace {

class Generator {
public:
    Generator(long target, unsigned seed) : m_target(target), m_random(seed) {}

    void run(const std::string &folder)
    {
        makeFolder(folder);
        packages(folder, 0);
    }

    long entries() const { return m_entries; }

private:
    int between(int low, int high) { return std::uniform_int_distribution<int>(low, high)(m_random); }
    bool full() const { return m_entries >= m_target; }

    void makeFolder(const std::string &path)
    {
        if (::mkdir(path.c_str(), 0755) != 0) {
            std::perror(path.c_str());
            std::exit(1);
        }
        ++m_entries;
    }

    void makeFile(const std::string &path)
    {
        static const std::string content(64000, 'x');
        const int roll = between(0, 99);
        const int size = roll < 80 ? between(20, 1000) : roll < 98 ? between(1000, 8000) : between(8000, 64000);
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd < 0 || ::write(fd, content.data(), static_cast<std::size_t>(size)) != size) {
            std::perror(path.c_str());
            std::exit(1);
        }
        ::close(fd);
        ++m_entries;
    }

    // Fills a node_modules folder with packages until the tree is full (or, when nested, a few).
    void packages(const std::string &modules, int depth)
    {
        const int count = depth == 0 ? 1 << 30 : between(1, 6);
        for (int i = 0; i < count && !full(); ++i) {
            const std::string package = modules + "/pkg-" + std::to_string(m_packages++);
            makeFolder(package);
            if (!full()) {
                makeFile(package + "/package.json");
            }
            if (!full()) {
                makeFolder(package + "/lib");
            }
            const int files = between(3, 60);
            for (int f = 0; f < files && !full(); ++f) {
                makeFile(package + "/lib/file-" + std::to_string(f) + ".js");
            }
            if (depth < 2 && between(0, 9) == 0 && !full()) {
                makeFolder(package + "/node_modules");
                packages(package + "/node_modules", depth + 1);
            }
        }
    }

    const long m_target;
    std::mt19937 m_random;
    long m_entries = 0;
    long m_packages = 0;
};

}  // namespace

int main(int argc, char **argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: generate-package-tree FOLDER [ENTRIES=200000] [SEED=42]\n");
        return 2;
    }
    const long entries = argc > 2 ? std::atol(argv[2]) : 200000;
    const auto seed = static_cast<unsigned>(argc > 3 ? std::atol(argv[3]) : 42);
    Generator generator(entries, seed);
    generator.run(argv[1]);
    std::printf("%ld\n", generator.entries());
    return 0;
}

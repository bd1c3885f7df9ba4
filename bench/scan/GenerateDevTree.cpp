// Writes a folder tree shaped like a developer's disk: many projects, each with sources, a .git
// folder, a node_modules of many small packages (some with nested node_modules), and depending on
// the project's kind build outputs, Python caches or a Cargo target folder. Seeded, so the same
// arguments always give the same tree.
//
//   generate-dev-tree ROOT [ENTRIES=1000000] [SEED=42]
//
// ENTRIES is approximate: projects are added until the count is reached.

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
    Generator(std::string root, long target, unsigned seed) : m_root(std::move(root)), m_target(target), m_random(seed) {}

    long run()
    {
        ::mkdir(m_root.c_str(), 0755);
        for (int project = 0; m_entries < m_target; ++project) {
            makeProject(m_root + "/project-" + std::to_string(project));
        }
        return m_entries;
    }

private:
    int between(int low, int high) { return std::uniform_int_distribution<int>(low, high)(m_random); }

    // Mostly small files, as source and package trees are; a few larger ones.
    long fileSize()
    {
        const int roll = between(0, 99);
        if (roll < 80) {
            return between(20, 1000);
        }
        if (roll < 98) {
            return between(1000, 8000);
        }
        return between(8000, 64000);
    }

    void folder(const std::string &path)
    {
        ::mkdir(path.c_str(), 0755);
        ++m_entries;
    }

    void file(const std::string &path, long size = -1)
    {
        static const std::string block(64000, 'x');
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd >= 0) {
            const long bytes = size < 0 ? fileSize() : size;
            (void)!::write(fd, block.data(), static_cast<std::size_t>(bytes));
            ::close(fd);
        }
        ++m_entries;
    }

    void files(const std::string &folderPath, int count, const char *suffix)
    {
        for (int i = 0; i < count; ++i) {
            file(folderPath + "/f" + std::to_string(i) + suffix);
        }
    }

    void package(const std::string &path, int nesting)
    {
        folder(path);
        file(path + "/package.json");
        file(path + "/index.js");
        if (between(0, 1) == 0) {
            file(path + "/README.md");
        }
        folder(path + "/lib");
        files(path + "/lib", between(2, 10), ".js");
        if (between(0, 3) == 0) {
            folder(path + "/lib/internal");
            files(path + "/lib/internal", between(1, 6), ".js");
        }
        if (nesting < 2 && between(0, 9) == 0) {
            folder(path + "/node_modules");
            for (int i = 0, n = between(1, 3); i < n; ++i) {
                package(path + "/node_modules/dep" + std::to_string(i), nesting + 1);
            }
        }
    }

    void makeProject(const std::string &path)
    {
        folder(path);
        file(path + "/README.md");
        file(path + "/.gitignore");
        folder(path + "/.git");
        file(path + "/.git/HEAD");
        folder(path + "/.git/objects");
        for (int i = 0, n = between(8, 24); i < n; ++i) {
            const std::string objects = path + "/.git/objects/" + std::to_string(10 + i);
            folder(objects);
            files(objects, between(2, 10), "");
        }
        folder(path + "/src");
        for (int i = 0, n = between(2, 6); i < n; ++i) {
            const std::string module = path + "/src/module" + std::to_string(i);
            folder(module);
            files(module, between(5, 30), ".ts");
            if (between(0, 2) == 0) {
                folder(module + "/components");
                files(module + "/components", between(3, 12), ".tsx");
            }
        }
        const int kind = between(0, 9);
        if (kind < 6) {  // JavaScript
            file(path + "/package.json");
            folder(path + "/node_modules");
            for (int i = 0, n = between(40, 200); i < n; ++i) {
                package(path + "/node_modules/pkg" + std::to_string(i), 0);
            }
            if (kind < 2) {
                folder(path + "/dist");
                files(path + "/dist", between(5, 40), ".js");
                folder(path + "/.next");
                folder(path + "/.next/cache");
                files(path + "/.next/cache", between(10, 60), "");
            }
        } else if (kind < 8) {  // Python
            file(path + "/pyproject.toml");
            for (int i = 0, n = between(2, 6); i < n; ++i) {
                const std::string cache = path + "/src/module" + std::to_string(i % 2) + "/__pycache__";
                folder(cache);
                files(cache, between(3, 15), ".pyc");
            }
            folder(path + "/.pytest_cache");
            files(path + "/.pytest_cache", 3, "");
            folder(path + "/.venv");
            for (int i = 0, n = between(20, 80); i < n; ++i) {
                const std::string site = path + "/.venv/lib" + std::to_string(i);
                folder(site);
                files(site, between(3, 12), ".py");
            }
        } else {  // Rust
            file(path + "/Cargo.toml");
            folder(path + "/target");
            for (int i = 0, n = between(10, 60); i < n; ++i) {
                const std::string unit = path + "/target/deps" + std::to_string(i);
                folder(unit);
                files(unit, between(4, 20), ".rlib");
            }
        }
    }

    std::string m_root;
    long m_target;
    long m_entries = 0;
    std::mt19937 m_random;
};

}  // namespace

int main(int argc, char **argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: generate-dev-tree ROOT [ENTRIES] [SEED]\n");
        return 2;
    }
    const long entries = argc > 2 ? std::atol(argv[2]) : 1000000;
    const unsigned seed = argc > 3 ? static_cast<unsigned>(std::atol(argv[3])) : 42u;
    const long made = Generator(argv[1], entries, seed).run();
    std::printf("%ld entries\n", made);
    return 0;
}

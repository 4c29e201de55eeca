// SPDX-License-Identifier: GPL-3.0-or-later
// Checks the leak checker of the sanitizer build against the two ways it can go wrong.
//
//   leak_check MODULE          loads copies of MODULE (tls_module.cpp) until the sanitizer
//                              runtime's guess about dynamic thread-local blocks misfires; every
//                              copy keeps a heap block reachable only through its thread-local
//                              block. Must end cleanly: no crash at exit, no leak reported.
//   leak_check MODULE --leak   the same, then drops a 77-byte block: must be reported.
//
// Why: the runtimes of Debian 12 (GCC 12's libasan, clang 14's) take a dynamic thread-local block
// that starts 16 bytes into a page for a pre-2.25 glibc block with a header before it, read that
// "header" (here the allocator's own chunk header) as the block's bounds, and the leak check at
// exit then scans a bogus range and crashes. scripts/test.sh turns that guess off
// (intercept_tls_get_addr=0); the loader's blocks still count as roots, so nothing held in them is
// reported.
#include <dlfcn.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace {

__attribute__((noinline)) void plantLeak()
{
    auto *lost = static_cast<char *>(std::malloc(77));
    std::memset(lost, 0x4b, 77);
    std::printf("planted a 77-byte leak at %p\n", static_cast<void *>(lost));
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s MODULE [--leak]\n", argv[0]);
        return 2;
    }
    const fs::path module = argv[1];
    const bool leak = argc > 2 && std::strcmp(argv[2], "--leak") == 0;
    const char *options = std::getenv("ASAN_OPTIONS");
    if (!options || !std::strstr(options, "intercept_tls_get_addr=0"))
        std::fprintf(stderr, "note: ASAN_OPTIONS lacks intercept_tls_get_addr=0 (scripts/test.sh sets it); "
                             "the leak check at exit may crash\n");

    char pattern[] = "/tmp/krambol-leakcheck-XXXXXX";
    if (!mkdtemp(pattern)) {
        std::perror("mkdtemp");
        return 2;
    }
    const fs::path dir = pattern;
    struct RemoveOnExit {
        fs::path dir;
        ~RemoveOnExit()
        {
            std::error_code ignored;
            fs::remove_all(dir, ignored);
        }
    } removeOnExit{dir};

    // A thread-local block the runtime mistakes for an old glibc one starts 16 bytes into a page.
    // Each copy is a module of its own (another file); one spacer block every other load makes the
    // blocks land on every 16-byte step of a page in turn.
    constexpr int maxCopies = 2048;
    constexpr int wantedMisreads = 2;
    std::vector<void *> spacers;
    int copies = 0;
    int misreads = 0;
    for (; copies < maxCopies && misreads < wantedMisreads; ++copies) {
        const fs::path copy = dir / ("module" + std::to_string(copies) + ".so");
        std::error_code error;
        fs::copy_file(module, copy, error);
        if (error) {
            std::fprintf(stderr, "cannot copy %s: %s\n", module.c_str(), error.message().c_str());
            return 2;
        }
        void *handle = dlopen(copy.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!handle) {
            std::fprintf(stderr, "dlopen: %s\n", dlerror());
            return 2;
        }
        auto hold = reinterpret_cast<void *(*)(std::size_t)>(dlsym(handle, "krambolHoldInThreadLocal"));
        if (!hold) {
            std::fprintf(stderr, "dlsym: %s\n", dlerror());
            return 2;
        }
        const auto block = reinterpret_cast<std::uintptr_t>(hold(100 + copies % 50));
        if (block % 4096 == 16)
            ++misreads;
        if (copies % 2)
            spacers.push_back(std::malloc(8));
    }
    for (void *spacer : spacers)
        std::free(spacer);
    std::printf("%d modules with dynamic thread-local blocks, %d of them 16 bytes into a page\n", copies,
                misreads);
    if (misreads == 0) {
        std::fprintf(stderr, "no thread-local block landed 16 bytes into a page: the check proves nothing\n");
        return 1;
    }
    if (leak)
        plantLeak();
    return 0;
}

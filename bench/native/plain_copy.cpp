// plain_copy OUT IN...: the files joined by reads and writes of 256 KiB, the
// buffer size of the companion, with no look at the bytes: the floor of a
// merge that has to bring every byte into the program. Timed from outside,
// as a whole process, like cat.
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <memory>

namespace {

bool WriteAll(int fd, const char* data, size_t n)
{
    while (n > 0) {
        ssize_t w = write(fd, data, n);
        if (w <= 0)
            return false;
        data += w;
        n -= size_t(w);
    }
    return true;
}

bool Append(int out, const char* path, char* buffer, size_t size)
{
    int in = open(path, O_RDONLY);
    if (in < 0)
        return false;
    ssize_t got;
    bool ok = true;
    while (ok && (got = read(in, buffer, size)) > 0)
        ok = WriteAll(out, buffer, size_t(got));
    close(in);
    return ok && got == 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fputs("usage: plain_copy OUT IN...\n", stderr);
        return 1;
    }
    const size_t size = size_t(256) << 10;
    std::unique_ptr<char[]> buffer(new char[size]);
    int out = open(argv[1], O_WRONLY | O_CREAT | O_EXCL, 0644);
    bool ok = out >= 0;
    for (int i = 2; ok && i < argc; ++i)
        ok = Append(out, argv[i], buffer.get(), size);
    ok = out >= 0 && close(out) == 0 && ok;
    if (!ok)
        std::perror("plain_copy");
    return ok ? 0 : 1;
}

// sundrel_reference man en|ja FILE, sundrel_reference completion FILE: the
// manual page and the bash completion, written at build time.
#include <cstdio>
#include <cstring>
#include <fstream>

#include "reference.h"

int main(int argc, char** argv)
{
    using namespace sundrel::cli;
    std::string text;
    if (argc == 4 && std::strcmp(argv[1], "man") == 0)
        text = ManPage(std::strcmp(argv[2], "ja") == 0 ? Language::Japanese : Language::English);
    else if (argc == 3 && std::strcmp(argv[1], "completion") == 0)
        text = BashCompletion();
    else {
        std::fputs("usage: sundrel_reference man en|ja FILE | completion FILE\n", stderr);
        return 2;
    }
    std::ofstream out(argv[argc - 1], std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    return out ? 0 : 1;
}

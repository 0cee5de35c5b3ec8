#include <cstdio>
#include <string_view>

int main(int argc, char** argv) {
    if (argc > 1 && std::string_view(argv[1]) == "--version") std::puts("zelprint " ZELPRINT_VERSION);
    return 0;
}

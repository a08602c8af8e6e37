// The baseline program of the whole-process load benchmark: expat over the
// file without handlers. Exit 0 when expat accepts the file.
#include <cstdio>

#include "expat_alone.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: expat_alone FILE\n");
        return 2;
    }
    return xmo::bench::parseWithExpatAlone(argv[1]) ? 0 : 1;
}

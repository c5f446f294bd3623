// Program entry of QM read out.
#include "version.h"
#include <cstdio>

int main() {
    std::printf("%s %s\n", QM_PRODUCT_NAME, QM_FILE_VERSION);
    return 0;
}

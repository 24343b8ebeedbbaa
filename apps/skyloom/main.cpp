#include "mdlMain.h"

int main(int argc, char** argv) {
    return skyloom::app::Main(argc, argv);
}

// skinpack: builds, lists and unpacks skin archives on the build host.
#include "tools/skinpack/container.h"

#include <iostream>

int main(int argc, char** argv) { return wl::skinpack::Main(argc, argv, std::cout, std::cerr); }

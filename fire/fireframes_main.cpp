// fire-frames: runs the fire's heat model headless and prints a fingerprint of every frame.
#include "fireframes.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    return kelvane::fire::RunFireFrames(args, std::cout, std::cerr);
}

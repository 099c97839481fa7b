#include "game/CommandLine.hpp"
#include "game/Game.hpp"

#include <iostream>

int main(int argc, char** argv) {
    game::GameOptions options;
    if (const auto status = game::CommandLine::parse(argc, argv, options, std::cout, std::cerr))
        return *status;
    return game::Game::run(options);
}

// The program entry. Until the game's screens exist this only says what the
// program is; it grows into the engine demo and then the game.
#include <cstdio>

int main(int argc, char** argv) {
  (void)argc;
  (void)argv;
  std::printf("Tallowmere - a homestead farming game (in construction).\n");
  return 0;
}

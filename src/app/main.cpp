// ampora: the program.

#include "app/windowed_program.h"

int main(int argc, char** argv) {
  return ampora::RunWindowed(argc, argv);
}

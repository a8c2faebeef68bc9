#include <iostream>

int main(int argc, char** argv) {
  std::cerr << "usage: velmora play SESSION [--out DIR]\n";
  return 2;
}

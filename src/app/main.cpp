#include <cstdio>
#include <string>
#include <vector>

#include "app/entry.hpp"

int main(int argc, char** argv) {
  const std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
  return qm::run_program(arguments, stdout, stderr);
}

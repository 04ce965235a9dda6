#include "cli/run_batch.h"

int main(int argc, char** argv) {
  return korvane::runBatch(argc, argv);
}

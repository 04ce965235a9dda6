#ifndef KORVANE_CLI_RUN_BATCH_H_
#define KORVANE_CLI_RUN_BATCH_H_

namespace korvane {

// The program: converts every plain file that argv[1], a path pattern, matches. Returns the
// exit status, always 0.
int runBatch(int argc, char** argv);

}  // namespace korvane

#endif  // KORVANE_CLI_RUN_BATCH_H_

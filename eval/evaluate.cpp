// Placeholder until the evaluation lands: material only.
#include "eval/evaluate.h"

int evaluate(int, int) { return board.material[board.sideToMove] - board.material[board.sideToMove ^ 1]; }
void prepareEvaluation() {}

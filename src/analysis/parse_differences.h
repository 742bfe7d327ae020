// Where the parses of one ambiguous sequence differ, for the pictures of its
// trees: which nodes a drawing should mark.
//
// Nodes are numbered in preorder: a node, then its children's subtrees from
// left to right; the root is node 0.
//
// - Overt ambiguity: the root of a parse is marked when some other parse has
//   a root with a different label (so every root is, a lone item that is a
//   parse of its own included).
// - Covert ambiguity: a node that is not a leaf is marked when some other
//   parse has no node with the same label and the same title over the same
//   items (the same span of leaves). What is left unmarked is what all
//   parses share; a root that differs only in its title is marked.
// - No ambiguity (no parse or one parse): nothing is marked.
#ifndef MARVOLEN_ANALYSIS_PARSE_DIFFERENCES_H_
#define MARVOLEN_ANALYSIS_PARSE_DIFFERENCES_H_

#include <vector>

#include "analysis/permutation_class.h"
#include "grammar/parse_engine.h"

namespace marvolen {

// One list of marks per parse, one mark per node in preorder.
using ParseMarks = std::vector<std::vector<bool>>;

ParseMarks MarkDifferences(const ParseList& parses, PermutationClass judgement);

}  // namespace marvolen

#endif  // MARVOLEN_ANALYSIS_PARSE_DIFFERENCES_H_

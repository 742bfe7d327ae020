// The judgement that the reports pass on each permutation.
#ifndef MARVOLEN_ANALYSIS_PERMUTATION_CLASS_H_
#define MARVOLEN_ANALYSIS_PERMUTATION_CLASS_H_

namespace marvolen {

enum class PermutationClass {
  CannotCombine,  // no complete parse
  OneWay,         // exactly one distinct parse
  Overt,          // two or more, whose root labels are not all the same
  Covert,         // two or more, all with the same root label
};

}  // namespace marvolen

#endif  // MARVOLEN_ANALYSIS_PERMUTATION_CLASS_H_

// Which sequence is current at a film time, and the local time within it.
#pragma once

#include <memory>
#include <vector>

namespace xmo {

struct Sequence;

struct SequenceAt {
    Sequence* sequence = nullptr;  // null only for an empty list
    float localTime = 0.0f;
};

// Sequences follow each other from film time 0. Both bounds of a sequence are
// inclusive and a shared boundary belongs to the earlier sequence. Past the
// end the last sequence stays current, with its local time counted from the
// end of the film, so it plays once more and then runs on beyond its length.
SequenceAt findSequence(const std::vector<std::unique_ptr<Sequence>>& sequences, float t);

// The film time at which the last sequence ends, summed as findSequence sums.
float filmEnd(const std::vector<std::unique_ptr<Sequence>>& sequences);

}  // namespace xmo

// Data sets of synthetic fingerprints in a folder, and the seeds that tie each file to the
// finger and impression it shows.
//
// Finger f (from 1) of a data set with seed S has the master seed FingerSeed(S, f); its
// impression i (from 1) has the impression seed ImpressionSeed(master seed, i). Files are
// named f0001_1.png (finger 1, impression 1) with the ground truth in f0001_1.txt; two
// images of the same finger number are a genuine pair, of different numbers an impostor pair.
#pragma once

#include <cstdint>
#include <string>

#include "fpsynth/image_files.h"
#include "fpsynth/impression.h"
#include "fpsynth/master.h"

namespace fpsynth {

uint64_t FingerSeed(uint64_t datasetSeed, int finger);
uint64_t ImpressionSeed(uint64_t masterSeed, int impression);
// "f0003_2" for finger 3, impression 2.
std::string ImpressionName(int finger, int impression);

enum class ClassMix {
    Natural,   // drawn with the classes' natural frequencies
    Balanced,  // finger f has class f-1 modulo 5 in the order of kPatternClasses
};

struct DatasetOptions {
    std::string folder;   // created when missing
    int fingers = 10;     // 1 to 100000
    int impressions = 4;  // 1 to 1000
    uint64_t seed = 1;
    ImageFormat format = ImageFormat::Png;
    ClassMix classes = ClassMix::Natural;
    // Width, height and the appearance of every impression; its seed is replaced per image.
    ImpressionOptions impression;
    int threads = 0;  // 0: one per processor; the files do not depend on it
};

// The master of finger f of a data set.
MasterFingerprint DatasetMaster(const DatasetOptions& options, int finger);

struct DatasetResult {
    int images = 0;
    long long minutiae = 0;  // listed in all ground-truth files together
    std::string error;       // empty on success
};

DatasetResult WriteDataset(const DatasetOptions& options);

}  // namespace fpsynth

// Synthetic fingerprints: masters, impressions, sensor frames, ground truth, data sets.
// Everything here is deterministic in its seeds and safe to call from several threads at
// once; a MasterFingerprint may be shared between threads.
#pragma once

#include "fpsynth/contact_sheet.h"
#include "fpsynth/dataset.h"
#include "fpsynth/fingerprint.h"
#include "fpsynth/ground_truth.h"
#include "fpsynth/image_files.h"
#include "fpsynth/impression.h"
#include "fpsynth/master.h"
#include "fpsynth/sensor.h"

// The biometric layer's module state: whether it is initialised, its contexts (each with
// its matching parameters, its prepared identification query and its last comparison),
// and the display colours. Everything is guarded by one lock, held only to read or
// change the state, never while extracting or matching.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

#include "biometrics/biometric_display.h"
#include "biometrics/template_format.h"

namespace dactis {

struct MatchParameters {
    int threshold = 0;
    int rotationMax = 0;
};

enum class Comparison { Verify, Identify };

// The two templates a comparison took, as bytes, and the minutiae it paired.
struct ComparisonRecord {
    std::vector<uint8_t> query;
    std::vector<uint8_t> reference;
    std::vector<std::pair<int, int>> pairs;
};

struct PreparedQuery {
    std::vector<uint8_t> bytes;
    FingerTemplate parsed;
};

class Biometrics {
public:
    static Biometrics& Instance();

    int Initialize();
    int Finalize();
    int CreateContext(int& id);
    int DestroyContext(int id);

    // DC_OK, DC_ERROR_NOT_INITIALIZED or DC_ERROR_INVALID_CONTEXT: whether the context exists.
    int CheckContext(int id);
    int Parameters(int id, Comparison which, MatchParameters& parameters);
    int SetParameters(int id, Comparison which, const MatchParameters& parameters);
    int Prepare(int id, PreparedQuery query);
    // DC_ERROR_NOT_PREPARED when the context has no query yet.
    int Prepared(int id, PreparedQuery& query);
    // Kept when the context still exists.
    void Record(int id, ComparisonRecord record);
    // Which minutiae of the template (given as its bytes) the context's last comparison
    // paired; empty when the template took no part in it.
    std::vector<bool> MatchedMinutiae(int id, const std::vector<uint8_t>& templateBytes, size_t minutiae);

    DisplayColours Colours();
    void SetColours(const DisplayColours& colours);

private:
    struct Context {
        MatchParameters verify;
        MatchParameters identify;
        std::optional<PreparedQuery> prepared;
        ComparisonRecord last;
    };

    Context* Find(int id, int& result);  // with the lock held

    std::mutex mutex_;
    bool initialized_ = false;
    int nextId_ = 1;
    std::map<int, Context> contexts_;
    DisplayColours colours_;
};

}  // namespace dactis

// The SDK's biometric functions: contexts, extraction, verification, identification,
// parameters, version and display.
#include <algorithm>
#include <cstring>

#include "biometrics/biometric_display.h"
#include "biometrics/contexts.h"
#include "biometrics/extractor.h"
#include "biometrics/matcher.h"
#include "biometrics/template_format.h"
#include "core/grey_view.h"
#include "core/guarded.h"
#include "dactis/dactis.h"

namespace dactis {
namespace {

bool ResolutionInRange(int resolution)
{
    return resolution >= DC_MIN_RESOLUTION && resolution <= DC_MAX_RESOLUTION;
}

bool ColourInRange(int colour)
{
    return colour == DC_COLOR_NONE || (colour >= 0 && colour <= 0xFFFFFF);
}

int SetParameters(int threshold, int rotationMax, int context, Comparison which)
{
    return GuardedCall(DC_ERROR_OUT_OF_MEMORY, [&] {
        if (threshold < DC_MIN_THRESHOLD || threshold > DC_MAX_THRESHOLD || rotationMax < 0 ||
            rotationMax > DC_MAX_ROTATION) {
            const int exists = Biometrics::Instance().CheckContext(context);
            return exists != DC_OK ? exists : DC_ERROR_INVALID_ARGUMENT;
        }
        return Biometrics::Instance().SetParameters(context, which, {threshold, rotationMax});
    });
}

int GetParameters(int* threshold, int* rotationMax, int context, Comparison which)
{
    return GuardedCall(DC_ERROR_OUT_OF_MEMORY, [&] {
        if (threshold == nullptr || rotationMax == nullptr) {
            return DC_ERROR_INVALID_ARGUMENT;
        }
        MatchParameters parameters;
        const int result = Biometrics::Instance().Parameters(context, which, parameters);
        if (result == DC_OK) {
            *threshold = parameters.threshold;
            *rotationMax = parameters.rotationMax;
        }
        return result;
    });
}

// Compares and keeps the comparison on the context; writes the score.
int Compare(const std::vector<uint8_t>& queryBytes, const FingerTemplate& query,
            const std::vector<uint8_t>& referenceBytes, const FingerTemplate& reference,
            const MatchParameters& parameters, int context, int* score)
{
    MatchOutcome outcome = MatchTemplates(query, reference, parameters.rotationMax);
    *score = outcome.score;
    Biometrics::Instance().Record(context, {queryBytes, referenceBytes, std::move(outcome.pairs)});
    return outcome.score >= parameters.threshold ? DC_MATCH : DC_NOT_MATCH;
}

}  // namespace
}  // namespace dactis

using namespace dactis;

extern "C" {

DACTIS_API int DcInitialize(void)
{
    return GuardedCall(DC_ERROR_OUT_OF_MEMORY, [] { return Biometrics::Instance().Initialize(); });
}

DACTIS_API int DcFinalize(void)
{
    return GuardedCall(DC_ERROR_OUT_OF_MEMORY, [] { return Biometrics::Instance().Finalize(); });
}

DACTIS_API int DcCreateContext(int* contextId)
{
    return GuardedCall(DC_ERROR_OUT_OF_MEMORY, [&] {
        if (contextId == nullptr) {
            return DC_ERROR_INVALID_ARGUMENT;
        }
        int id = 0;
        const int result = Biometrics::Instance().CreateContext(id);
        if (result == DC_OK) {
            *contextId = id;
        }
        return result;
    });
}

DACTIS_API int DcDestroyContext(int contextId)
{
    return GuardedCall(DC_ERROR_OUT_OF_MEMORY, [&] { return Biometrics::Instance().DestroyContext(contextId); });
}

DACTIS_API int DcExtract(const unsigned char* rawImage, int width, int height, int resolution, unsigned char* tpt,
                         int* tptSize, int context)
{
    return GuardedCall(DC_ERROR_OUT_OF_MEMORY, [&] {
        if (tpt == nullptr || tptSize == nullptr) {
            return DC_ERROR_INVALID_ARGUMENT;
        }
        int result = DC_OK;
        const GreyView image = CallerImage(rawImage, width, height, DC_MIN_IMAGE_SIDE, result);
        if (result != DC_OK) {
            return result;
        }
        if (!ResolutionInRange(resolution)) {
            return DC_ERROR_INVALID_RESOLUTION;
        }
        if (result = Biometrics::Instance().CheckContext(context); result != DC_OK) {
            return result;
        }
        const Extraction extraction = ExtractMinutiae(image, resolution);
        if (extraction.result != DC_OK) {
            return extraction.result;
        }
        const std::vector<uint8_t> bytes = EncodeTemplate(extraction.fingerTemplate);
        std::memcpy(tpt, bytes.data(), bytes.size());
        *tptSize = static_cast<int>(bytes.size());
        return DC_OK;
    });
}

DACTIS_API int DcVerify(const unsigned char* queryTemplate, const unsigned char* referenceTemplate, int* verifyScore,
                        int context)
{
    return GuardedCall(DC_ERROR_OUT_OF_MEMORY, [&] {
        if (queryTemplate == nullptr || referenceTemplate == nullptr || verifyScore == nullptr) {
            return DC_ERROR_INVALID_ARGUMENT;
        }
        MatchParameters parameters;
        if (const int result = Biometrics::Instance().Parameters(context, Comparison::Verify, parameters);
            result != DC_OK) {
            return result;
        }
        const auto queryBytes = CallerTemplate(queryTemplate);
        const auto referenceBytes = CallerTemplate(referenceTemplate);
        const auto query = queryBytes ? ParseTemplate(*queryBytes) : std::nullopt;
        const auto reference = referenceBytes ? ParseTemplate(*referenceBytes) : std::nullopt;
        if (!query || !reference) {
            return DC_ERROR_INVALID_TEMPLATE;
        }
        return Compare(*queryBytes, *query, *referenceBytes, *reference, parameters, context, verifyScore);
    });
}

DACTIS_API int DcIdentifyPrepare(const unsigned char* tpt, int context)
{
    return GuardedCall(DC_ERROR_OUT_OF_MEMORY, [&] {
        if (tpt == nullptr) {
            return DC_ERROR_INVALID_ARGUMENT;
        }
        if (const int result = Biometrics::Instance().CheckContext(context); result != DC_OK) {
            return result;
        }
        auto bytes = CallerTemplate(tpt);
        auto parsed = bytes ? ParseTemplate(*bytes) : std::nullopt;
        if (!parsed) {
            return DC_ERROR_INVALID_TEMPLATE;
        }
        return Biometrics::Instance().Prepare(context, {std::move(*bytes), std::move(*parsed)});
    });
}

DACTIS_API int DcIdentify(const unsigned char* tpt, int* identifyScore, int context)
{
    return GuardedCall(DC_ERROR_OUT_OF_MEMORY, [&] {
        if (tpt == nullptr || identifyScore == nullptr) {
            return DC_ERROR_INVALID_ARGUMENT;
        }
        MatchParameters parameters;
        if (const int result = Biometrics::Instance().Parameters(context, Comparison::Identify, parameters);
            result != DC_OK) {
            return result;
        }
        PreparedQuery query;
        if (const int result = Biometrics::Instance().Prepared(context, query); result != DC_OK) {
            return result;
        }
        const auto bytes = CallerTemplate(tpt);
        const auto reference = bytes ? ParseTemplate(*bytes) : std::nullopt;
        if (!reference) {
            return DC_ERROR_INVALID_TEMPLATE;
        }
        return Compare(query.bytes, query.parsed, *bytes, *reference, parameters, context, identifyScore);
    });
}

DACTIS_API int DcSetIdentifyParameters(int threshold, int rotationMax, int context)
{
    return SetParameters(threshold, rotationMax, context, Comparison::Identify);
}

DACTIS_API int DcSetVerifyParameters(int threshold, int rotationMax, int context)
{
    return SetParameters(threshold, rotationMax, context, Comparison::Verify);
}

DACTIS_API int DcGetIdentifyParameters(int* threshold, int* rotationMax, int context)
{
    return GetParameters(threshold, rotationMax, context, Comparison::Identify);
}

DACTIS_API int DcGetVerifyParameters(int* threshold, int* rotationMax, int context)
{
    return GetParameters(threshold, rotationMax, context, Comparison::Verify);
}

DACTIS_API int DcGetDactisVersion(unsigned char* majorVersion, unsigned char* minorVersion)
{
    return GuardedCall(DC_ERROR_OUT_OF_MEMORY, [&] {
        if (majorVersion == nullptr || minorVersion == nullptr) {
            return DC_ERROR_INVALID_ARGUMENT;
        }
        *majorVersion = DC_VERSION_MAJOR;
        *minorVersion = DC_VERSION_MINOR;
        return DC_OK;
    });
}

DACTIS_API int DcBiometricDisplay(const unsigned char* tpt, const unsigned char* rawImage, int width, int height,
                                  int resolution, BmDeviceContext dc, BmBitmap* bitmap, int context)
{
    return GuardedCall(DC_ERROR_OUT_OF_MEMORY, [&] {
        if (tpt == nullptr || bitmap == nullptr) {
            return DC_ERROR_INVALID_ARGUMENT;
        }
        int result = DC_OK;
        const GreyView image = CallerImage(rawImage, width, height, 1, result);
        if (result != DC_OK) {
            return result;
        }
        if (!ResolutionInRange(resolution)) {
            return DC_ERROR_INVALID_RESOLUTION;
        }
        if (result = Biometrics::Instance().CheckContext(context); result != DC_OK) {
            return result;
        }
        const auto bytes = CallerTemplate(tpt);
        const auto parsed = bytes ? ParseTemplate(*bytes) : std::nullopt;
        if (!parsed) {
            return DC_ERROR_INVALID_TEMPLATE;
        }
        const std::vector<bool> matched =
            Biometrics::Instance().MatchedMinutiae(context, *bytes, parsed->minutiae.size());
        return DrawBiometricDisplay(*parsed, image, Biometrics::Instance().Colours(), matched, dc, bitmap);
    });
}

DACTIS_API int DcSetBiometricDisplayColors(int minutiaeColor, int minutiaeMatchColor, int segmentsColor,
                                           int segmentsMatchColor, int directionsColor, int directionsMatchColor)
{
    return GuardedCall(DC_ERROR_OUT_OF_MEMORY, [&] {
        const DisplayColours colours{minutiaeColor,      minutiaeMatchColor, segmentsColor,
                                     segmentsMatchColor, directionsColor,    directionsMatchColor};
        for (int colour : {colours.minutiae, colours.minutiaeMatch, colours.segments, colours.segmentsMatch,
                           colours.directions, colours.directionsMatch}) {
            if (!ColourInRange(colour)) {
                return DC_ERROR_INVALID_ARGUMENT;
            }
        }
        Biometrics::Instance().SetColours(colours);
        return DC_OK;
    });
}

}  // extern "C"

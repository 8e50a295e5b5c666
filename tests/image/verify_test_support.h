#pragma once
// Running the verifier on bytes in memory and asking what it reported where.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "image/image_source.h"
#include "image/image_verifier.h"

namespace korvalin::test {

inline VerifyReport VerifyBytes(const std::vector<uint8_t>& bytes, const VerifyOptions& options = {}) {
    MemoryImageSource source(bytes);
    return VerifyImageSource(source, options);
}

inline std::string ProblemsText(const VerifyReport& report) {
    std::string text;
    for (const VerifyProblem& p : report.problems) text += "LBA " + std::to_string(p.lba) + ": " + p.text + "\n";
    return text;
}

inline bool HasProblem(const VerifyReport& report, int64_t lba, const std::string& part) {
    for (const VerifyProblem& p : report.problems) {
        if (p.lba == lba && p.text.find(part) != std::string::npos) return true;
    }
    return false;
}

// Every listed problem lies at `lba`, and one of them says `part`.
inline ::testing::AssertionResult OnlyAt(const VerifyReport& report, int64_t lba, const std::string& part) {
    for (const VerifyProblem& p : report.problems) {
        if (p.lba != lba) return ::testing::AssertionFailure() << "a problem elsewhere:\n" << ProblemsText(report);
    }
    if (!HasProblem(report, lba, part)) {
        return ::testing::AssertionFailure() << "no \"" << part << "\" at LBA " << lba << ":\n" << ProblemsText(report);
    }
    return ::testing::AssertionSuccess();
}

}  // namespace korvalin::test

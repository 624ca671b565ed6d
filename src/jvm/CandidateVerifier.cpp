#include "jvm/CandidateVerifier.h"

#include "jvm/FileExists.h"
#include "jvm/JvmFile.h"

namespace nv {

namespace {
class ExistingExecutableVerifier : public CandidateVerifier {
public:
    bool verifyJvm(JvmFile& jvmFile, const LauncherString& home, const LauncherString&,
                   const LauncherString&) override {
        return fileExists(jvmFile.executablePath(home));
    }
};
}  // namespace

CandidateVerifier& defaultCandidateVerifier() {
    static ExistingExecutableVerifier verifier;
    return verifier;
}

}  // namespace nv

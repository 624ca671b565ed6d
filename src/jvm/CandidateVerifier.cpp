#include "jvm/CandidateVerifier.h"

#include "jvm/JvmVerification.h"

namespace nv {

CandidateVerifier& defaultCandidateVerifier() {
    static JvmVerifier verifier;
    return verifier;
}

}  // namespace nv

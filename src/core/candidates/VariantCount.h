#pragma once

#include "core/candidates/Generation.h"
#include "core/candidates/NameVariants.h"

// The exact number of names the combinations of Mode give in one zone of Spelling, as the generation
// builds them with Plan, without building them. Saturates at CandidateCountMax.
TCandidateCount VariantCandidateCount(const TVariantPlan& Plan, int Mode, TVariantPlan::TSpelling Spelling);

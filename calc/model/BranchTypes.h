// Branch type codes as the branch table's type column holds them (CP1251).
#pragma once

#include <string>

namespace arv::BranchType {

inline const std::string Working = "";
inline const std::string FixedFlow = "=";
inline const std::string Fan = "\xC2";                   // В
inline const std::string FanReversed = "\xC2\xD0";       // ВР
inline const std::string FanStopped = "\xC2\xCE";        // ВО
inline const std::string Regulator = "\xD0";             // Р
inline const std::string NaturalDraught = "\xC5\xD2";    // ЕТ
inline const std::string WorkingFace = "\xCE\xC7";       // ОЗ
inline const std::string DeadEndFace = "\xD2\xC7";       // ТЗ
inline const std::string LocalFanPlace = "\xC2\xCC\xCF"; // ВМП
inline const std::string StabilityMark = "\xC0\xD3";     // АУ
inline const std::string Fire = "\xCF\xC6";              // ПЖ
inline const std::string MarkedFixedFlow = "\xCF=";      // П=

} // namespace arv::BranchType

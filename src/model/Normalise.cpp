#include "model/Normalise.h"

#include "model/Keying.h"

void NormaliseParams(TIgnParams& p, TLanguage& language, std::uint8_t& comPort) {
  for (int i = 0; i < CurvePoints; ++i) {
    if (p.RpmAdv[i] < CurveSpeedMin(i)) p.RpmAdv[i] = static_cast<std::uint8_t>(CurveSpeedMin(i));
    if (p.RpmAdv[i] > CurveSpeedMax(i)) p.RpmAdv[i] = static_cast<std::uint8_t>(CurveSpeedMax(i));
  }
  // Rising order, so a push travels up the curve; a point never pulls its predecessor down.
  for (int i = 1; i < CurvePoints; ++i) {
    if (p.RpmAdv[i] <= p.RpmAdv[i - 1])
      p.RpmAdv[i] = static_cast<std::uint8_t>(p.RpmAdv[i - 1] + 1);
  }
  if (p.Omez1 > p.Omez2) p.Omez1 = p.Omez2;
  if (p.Bike == BikeCode2TSem) {
    for (auto& advance : p.Advance) {
      if (advance > p.BaseAdv) advance = p.BaseAdv;
    }
  }
  if (language > LangCzech) language = LangEnglish;
  if (comPort > MaxComPort) comPort = 1;
}

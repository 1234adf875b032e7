#include "model/Defaults.h"

void LoadDefaultParams(TIgnParams& p) {
  p.PocetBodu = 2;
  p.BaseAdv = 10;
  p.Omez1 = 100;
  p.Omez2 = 150;
  p.Retard = 6;
  p.Polarita = 2;
  p.GeberNr = 1;
  p.LedRazeni = 120;
  p.Clutch1 = 20;
  p.Clutch2 = 100;
  p.RpmPulsu = 1;
  p.RpmKorekce = 100;
  p.RevOutLedRazeni = 0;
  for (int i = 0; i < CurvePoints; ++i) {
    p.RpmAdv[i] = DefaultRpmAdv[i];
    p.Advance[i] = 10;
  }
}

#include "ViewState.h"

#include <cmath>

#include "InsideView.h"
#include "ViewGeometry.h"

TViewState View;

void InitViewState() {
  View.MoonRadiusPx = 25;
  View.EarthRadiusPx = 4 * View.MoonRadiusPx;
  View.SinObliquity = std::sin(Obliquity);
  View.CosObliquity = std::cos(Obliquity);
  View.EyePoint = MakeVector(-1.05L, 0, 0.35L);

  View.EclipticTilt = RotationX(-Obliquity);
  // Until the first set-up every other matrix leaves its vector as it is.
  const TMatrix identity = RotationX(0);
  View.LatitudeView = identity;
  View.AzimuthMatrix = identity;
  SetGlobeSpin(identity);
  SetViewMatrix(identity);

  View.OutsideView = false;
  ForgetBackgroundPictures();
}

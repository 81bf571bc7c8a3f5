#include "ViewState.h"

#include <cmath>

#include "InsideView.h"
#include "KernGraf.h"

TViewState View;

void InitViewState() {
  View.MoonRadiusPx = 25;
  View.EarthRadiusPx = 4 * View.MoonRadiusPx;
  View.SinObliquity = std::sin(Obliquity);
  View.CosObliquity = std::cos(Obliquity);
  View.EyePoint = MakeVector(-1.05L, 0, 0.35L);

  View.EclipticTilt = RotationX(-Obliquity);
  View.IdentityMatrix = RotationX(0);
  View.TiltUp = RotationX(10.0L * DegToRad);
  View.TiltDown = RotationX(-10.0L * DegToRad);
  // Until the first set-up every other matrix leaves its vector as it is.
  View.GlobeSpin = View.IdentityMatrix;
  View.GlobeMatrix = View.EclipticTilt;
  View.ViewMatrix = View.IdentityMatrix;
  View.GlobeViewMatrix = View.IdentityMatrix;
  View.LatitudeView = View.IdentityMatrix;
  View.LatitudeGlobeView = View.IdentityMatrix;
  View.AzimuthMatrix = View.IdentityMatrix;

  View.OutsideView = false;
  ForgetBackgroundPictures();
}

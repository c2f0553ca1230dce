#pragma once

// An angle in degrees brought into (-180, 180].
float NormalizeAngleDegrees(float degrees);

// sin(x) / x, exactly 1 for |x| up to 0.0001 (where the quotient loses precision).
float Sinc(float x);

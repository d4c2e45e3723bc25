#pragma once
// The preview pictures, one function per picture or per series; `level` is the setting's level.

#include <QImage>

namespace kesta::pictures {

// Landscapes (landscape_pictures.cpp).
QImage DrawGraphicsDefault();
QImage DrawTextures();
QImage DrawTextureLevel(int level);
QImage DrawWaterQuality(int level);
QImage DrawFogQuality(int level);
QImage DrawVisibilityRange(int level);
QImage DrawLightsLevel(int level);

// Objects and effects on the ground (object_pictures.cpp).
QImage DrawEffectOptions(int level);
QImage DrawShadowLevel(int level);
QImage DrawShadowDensity(int tenths);
QImage DrawScenes(int level);
QImage DrawExhaust(int level);
QImage DrawCivilTraffic(int level);

// From the pilot's seat (cockpit_pictures.cpp).
QImage DrawMirrors(int level);
QImage DrawReflections(int level);
QImage DrawMirrorResolution(int level);
QImage DrawRussianHud(int level);
QImage DrawCanopy(bool effectOn);

// Beside the smoke colour page's groups (smoke_pod_pictures.cpp): a pod under a wing trailing its plume.
QImage DrawSmokePod(bool russian);

// The About window's banner: a pair of fighters climbing away over the hills (banner_picture.cpp).
QImage DrawAboutBanner();

// A gentle darkening towards the corners, shared by all preview pictures.
void FinishPicture(QImage& image);

}  // namespace kesta::pictures

#include "graphics/SceneLink.h"

void CSceneLink::SetScene(CScene* scene) { m_scene = scene; }

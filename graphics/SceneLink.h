#pragma once

class CScene;

// Whatever draws a scene that somebody else owns: the render targets of the
// panels and of off-screen rendering.
class CSceneLink
{
public:
    CSceneLink() = default;
    virtual ~CSceneLink() = default;
    CSceneLink(const CSceneLink&) = delete;
    CSceneLink& operator=(const CSceneLink&) = delete;

    // The scene to draw from now on (not owned; null for none).
    virtual void SetScene(CScene* scene);
    CScene* GetScene() const { return m_scene; }

protected:
    CScene* m_scene = nullptr;
};

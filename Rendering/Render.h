#pragma once

#include <TabulaExport.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include <Math/Quat.h>
#include <Math/Vec2.h>
#include <Math/Vec3.h>

namespace Core
{
class Board;
class CallBackKeyboard;
class CallBackPicking;
class Drawable;
} // namespace Core

namespace Rendering
{
class Camera;
class HUD;
class Light;
class Shader;
} // namespace Rendering

/// Degrees about the vertical currently applied to the scene; moves towards
/// the board's orientation by one step per frame.
extern TABULA_EXPORT float rot;
/// Camera animation targets offered to the game (see Camera::linearGoTo); the
/// engine itself never reads them.
extern TABULA_EXPORT Vec3<double> dst_pos;
extern TABULA_EXPORT Quat<double> dst_orient;
/// The camera's orientation after the engine's OpenGL set-up.
extern TABULA_EXPORT Quat<double> init_orient;
extern TABULA_EXPORT float delta_t;

namespace Rendering
{

/// The OpenGL selection buffer, rewritten by every frame's picking pass.
extern TABULA_EXPORT unsigned int pickingBuf[512];

/// The engine: a process-wide singleton owning the GLUT window, the OpenGL
/// set-up and the frame loop. The game builds its scene, calls setParams,
/// fills the lists it needs (lights, HUD elements, callbacks, shader) and calls
/// run(), which never returns. The engine never deletes what the game gives it
/// (board, lights, HUDs, shader, callback records); it owns its camera and the
/// default light it adds during set-up.
class TABULA_EXPORT Render
{
public:
    static Render* instance();

    void setParams(const std::string& title, const Vec3<double>& scale, Core::Board* board);
    /// Opens the window, sets up OpenGL and enters GLUT's main loop. Never returns.
    void run();
    /// OpenGL set-up; needs a current context. Called by run().
    void initGL();
    /// One frame: renderFrame(), swap, frame-rate title, scene turn.
    void loop();
    /// The drawing part of a frame (clear, picking pass, HUD, shader, lights,
    /// board), leaving the picture in the back buffer, unswapped.
    void renderFrame();
    void drawAxis();

    void pushDrawable(Core::Drawable* drawable);
    /// Forgets `drawable` if it is the one registered under its name.
    void popDrawable(Core::Drawable* drawable);
    /// The drawable registered under `name`, or null.
    Core::Drawable* getDrawable(unsigned int name) const;
    /// False once the singleton has been destroyed at process exit.
    static bool isAlive();

    void startPicking(int x, int y);
    void stopPicking();
    /// Picks the nearest of the first `hits` records of pickingBuf and
    /// reports its square to the board and the picking records.
    void processHits(int hits);
    /// A click: hands the highlighted square to every picking record.
    void updatePicking();

    Vec2<unsigned int> getSize() { return Vec2<unsigned int>(m_Width, m_Height); }
    void setSize(unsigned int width, unsigned int height);
    /// Follows a window resize: viewport, size, camera aspect ratio (kept when
    /// the height is 0) and projection. GLUT's reshape callback.
    void reshape(int width, int height);
    Camera* getCamera() { return m_Camera; }
    Core::Board* getBoard() { return m_Board; }
    const std::string& getTitle() const { return m_Title; }

    std::vector<Core::CallBackKeyboard*>& getCallBacksKeyboard() { return m_CallBacksKeyboard; }
    std::vector<Core::CallBackPicking*>& getCallBacksPicking() { return m_CallBacksPicking; }
    std::vector<HUD*>& getHUDs() { return m_HUDs; }
    std::vector<Light*>& getLights() { return m_Lights; }

    bool hasShaderAvailable() { return m_Shader != nullptr && m_ShaderAvailable; }
    Shader* getShader() { return m_Shader; }
    void setShader(Shader* shader) { m_Shader = shader; }
    void setFullScreen(bool fullScreen) { m_FullScreen = fullScreen; }

    unsigned int getNbDisplayList() { return m_NbDisplayList; }
    void setNbDisplayList(unsigned int count) { m_NbDisplayList = count; }

    /// Degrees per frame by which the scene turns towards the board's orientation.
    float getRotationStep() const { return m_RotationStep; }

private:
    Render();
    ~Render();
    Render(const Render&) = delete;
    Render& operator=(const Render&) = delete;

    void updateFrameRate();
    void updateRotation();

    unsigned int m_Width;
    unsigned int m_Height;
    Vec3<double> m_Scale;
    bool m_FullScreen;
    Camera* m_Camera;
    Core::Board* m_Board;
    float m_RotationStep;
    double m_LastFpsTime;
    unsigned int m_FrameCount;
    std::vector<Light*> m_Lights;
    bool m_ShaderAvailable;
    std::string m_Title;
    Shader* m_Shader;
    std::vector<HUD*> m_HUDs;
    unsigned int m_NbDisplayList;
    std::vector<Core::CallBackPicking*> m_CallBacksPicking;
    std::vector<Core::CallBackKeyboard*> m_CallBacksKeyboard;
    std::map<unsigned int, Core::Drawable*> m_Drawables;
    /// The spot made by initGL, the one light the engine owns.
    std::unique_ptr<Light> m_DefaultLight;
};

} // namespace Rendering

#pragma once

#include <TabulaExport.h>

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <Core/CallBackHandle.h>
#include <Math/Quat.h>
#include <Math/Vec2.h>
#include <Math/Vec3.h>

namespace Core
{
class Board;
class CallBackFrame;
class CallBackKeyboard;
class CallBackPicking;
class Drawable;
class Object;
class Square;
} // namespace Core

namespace Rendering
{
class Camera;
struct InteractionState;
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
    /// The drawing part of a frame, leaving the picture in the back buffer,
    /// unswapped: the board's animations advance and the frame records run
    /// (see Core::CallBackFrame), then clear, picking pass, HUD, shader,
    /// lights, board.
    void renderFrame();

    /// Writes the back buffer of the window (the picture renderFrame() left
    /// there, before the swap) to `fileName` as an 8-bit RGB PNG, top row
    /// first. Needs the window's context current. False, with one line on the
    /// standard output, when the file cannot be written or no frame has been
    /// drawn yet.
    bool saveScreenshot(const std::string& fileName);

    /// Where a point appears in the window, in pixels from the window's
    /// top-left corner (y downwards, as GLUT and X pointer events count).
    /// m_InView: in front of the camera, within the depth range and inside
    /// the window.
    struct WindowPoint
    {
        double m_X = 0.0;
        double m_Y = 0.0;
        bool m_InView = false;
    };
    /// `point` in the board's own frame (as Square::getCentre gives it),
    /// under the matrices of the last frame drawn: the camera, the scene's
    /// scale and turn, the board's centring. Not in view before any frame or
    /// without a board.
    WindowPoint getWindowPoint(const Vec3<double>& point) const;
    /// The middle of the square's face, as last drawn.
    WindowPoint getWindowPoint(const Core::Square* square) const;
    /// The piece's origin (lifted to rest on its square, along its animated
    /// path while it moves), as last drawn; not in view when it is on no square.
    WindowPoint getWindowPoint(const Core::Object* object) const;
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
    /// One picking pass at window point (x, y) (pixels from the top-left)
    /// under the frame's matrices (camera, scene scale and turn), as the
    /// frame runs it: the board highlights the square found and the picking
    /// records learn it. A left-button release runs one at the release point
    /// when the pointer moved since the last pass.
    void pickAt(int x, int y);
    /// Hands `square` to every picking record and runs them, as a click does.
    void click(Core::Square* square);

    Vec2<unsigned int> getSize() { return Vec2<unsigned int>(m_Width, m_Height); }
    void setSize(unsigned int width, unsigned int height);
    /// Follows a window resize: viewport, size, camera aspect ratio (kept when
    /// the height is 0) and projection. GLUT's reshape callback.
    void reshape(int width, int height);
    Camera* getCamera() { return m_Camera; }
    Core::Board* getBoard() { return m_Board; }
    /// The scene's scale given to setParams.
    const Vec3<double>& getScale() const { return m_Scale; }
    const std::string& getTitle() const { return m_Title; }

    std::vector<Core::CallBackKeyboard*>& getCallBacksKeyboard() { return m_CallBacksKeyboard; }
    std::vector<Core::CallBackPicking*>& getCallBacksPicking() { return m_CallBacksPicking; }
    std::vector<Core::CallBackFrame*>& getCallBacksFrame() { return m_CallBacksFrame; }
    std::vector<HUD*>& getHUDs() { return m_HUDs; }
    std::vector<Light*>& getLights() { return m_Lights; }

    /// Handlers as functions, for a game that would rather not write a
    /// record class per callback. Each one takes its place at the end of the
    /// list of records of its kind (getCallBacksPicking(), ...), so records
    /// and functions run in the order they were registered; the engine owns
    /// that place and frees it once the handle has removed it. A handler
    /// registered while its event is being delivered first runs at the next
    /// one.
    ///
    /// On a click (see updatePicking), with the square clicked.
    Core::CallBackHandle onClick(std::function<void(Core::Square* square)> handler);
    /// For every key the engine leaves free, with the pointer's window
    /// position in pixels (origin top-left).
    Core::CallBackHandle onKey(std::function<void(unsigned char key, int x, int y)> handler);
    /// Once per frame before drawing, with the seconds since the previous
    /// frame (see Core::CallBackFrame).
    Core::CallBackHandle onFrame(std::function<void(double seconds)> handler);

    /// Camera framing. Angles in radians as Camera::lookAt takes them: `yaw`
    /// about the vertical from the +z side (0 is the engine's start-up
    /// side), `pitch` above the horizontal (positive looks down). With
    /// `seconds` above 0 the camera moves there over that time, frame by
    /// frame, with the eased curve of animated moves
    /// (Core::MoveAnimation::ease), and ends exactly on the view; moving the
    /// camera meanwhile (keys, drag) ends the move where it is. Asked before
    /// run(), the view is taken once the window exists. The orbiting
    /// camera turns about `target` afterwards.
    ///
    /// Looks at `target` (world coordinates) from `distance` away.
    void lookAt(const Vec3<double>& target, double yaw, double pitch, double distance, double seconds = 0.0);
    /// Looks at the board from `yaw` and `pitch`, near enough that the whole
    /// of it, every square and piece (with the scene's scale and turn as
    /// they are now), fills the window but for `margin` (a fraction of the
    /// window's half-width and half-height) on the tightest side; for the
    /// window's current shape. Nothing without a board.
    void frameBoard(double yaw, double pitch, double margin = 0.05, double seconds = 0.0);
    /// True while a camera move of lookAt or frameBoard is under way.
    bool isCameraMoving() const;

    /// Keyboard play, off by default; switch it on after setParams. The
    /// arrow keys (GLUT's special keys) move a focus from square to square
    /// in the board's own grid (up is towards larger grid y); the first
    /// press focuses the board's first square. Enter or space then clicks
    /// the focused square: the picking
    /// records and onClick handlers run with it, as for a mouse click. The
    /// focused square carries the mouse-over mark. Each focus change and each
    /// finished animated move is told to the announcer as one line of text,
    /// built from names: a drawable's "name" metadata if it has one, else
    /// the values of all its metadata joined by spaces ("White man"), else
    /// "a1"-style grid coordinates for a square and "piece" for a piece:
    /// "e4, White man", "c3, empty", "White man to d4, takes Black man".
    /// Switched off, the focus goes and every key goes where it went before.
    void setKeyboardPlay(bool on);
    bool getKeyboardPlay() const;
    /// Receives every announcement; without one they are dropped.
    void setAnnouncer(std::function<void(const std::string& text)> announcer);
    Core::Square* getFocusedSquare() const;
    /// Moves the focus (keyboard play on) and announces it.
    void setFocusedSquare(Core::Square* square);
    /// What keyboard play does with a key: true when it took it. `special`
    /// for GLUT's special keys (GLUT_KEY_...). The engine's key handlers call it.
    bool handleKeyboardPlay(int key, bool special);
    /// The name announcements use for `drawable` (see setKeyboardPlay).
    static std::string spokenName(const Core::Drawable* drawable);

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
    /// Frees the function handlers whose handles removed them.
    void sweepFunctions();
    /// Moves the camera one frame of `seconds` along its flight.
    void flyCamera(double seconds);
    /// Puts the focus mark on the focused square for the display pass
    /// (unless it has the mouse-over mark already) and takes it off after.
    void markFocus(bool on);
    void announce(const std::string& text);
    /// GLUT's special-key callback.
    static void specialKey(int key, int x, int y);
    /// Seconds of the steady clock since the previous call; 0 the first time.
    double measureFrameTime();

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
    std::vector<Core::CallBackFrame*> m_CallBacksFrame;
    std::chrono::steady_clock::time_point m_LastFrameTime;
    bool m_HasFrameTime;
    /// The scene's model-view (camera, scale, turn), projection and viewport
    /// of the last frame drawn, for getWindowPoint.
    double m_DrawnModelView[16];
    double m_DrawnProjection[16];
    int m_DrawnViewport[4];
    bool m_HasDrawn;
    std::map<unsigned int, Core::Drawable*> m_Drawables;
    /// The spot made by initGL, the one light the engine owns.
    std::unique_ptr<Light> m_DefaultLight;
    /// Function handlers, keyboard play and camera moves.
    std::unique_ptr<InteractionState> m_Interaction;
};

} // namespace Rendering

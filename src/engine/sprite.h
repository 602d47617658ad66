// The sprite tree. Everything drawn on the surface apart from text is a
// sprite; all sprites hang below one root, a TSpriteEngine. Each frame the
// shell moves the whole tree, frees the sprites killed during the move, and
// draws the tree in Z order.
//
// Ownership: a sprite is created with `new TSomeSprite(parent, ...)` and its
// constructor hands it to the parent, which owns it from then on. The one way
// to destroy a sprite is `delete` (directly, or through FreeChildren,
// FlushDead or the parent's own destruction); the destructor frees the
// sprite's children and takes it out of its parent's lists and the engine's
// dead list. A derived constructor that throws therefore leaves nothing
// behind: the base destructor runs and unlinks the half-made sprite.
//
// Killing only marks a sprite: it stays in the tree, is still stepped and can
// still be hit until the engine's FlushDead frees it between move and draw.
// The passes over the tree read child counts once, so a Step or a collision
// handler may create sprites (they are appended and wait for the next pass)
// or kill them.
#pragma once

#include <memory>
#include <type_traits>
#include <typeinfo>
#include <utility>
#include <vector>

#include "formats/errors.h"
#include "media/surface.h"

namespace engine {

// Child(i) on a sprite that has no children at all.
class ESpriteError : public formats::GameError {
public:
    using formats::GameError::GameError;
};

// Child(i) with an index outside a non-empty child list.
class EListError : public formats::GameError {
public:
    using formats::GameError::GameError;
};

class TSpriteEngine;

class TSprite {
public:
    // parent may be null only for a root.
    explicit TSprite(TSprite* parent);

    TSprite(const TSprite&) = delete;
    TSprite& operator=(const TSprite&) = delete;

    // Called on the sprite that runs Collide, once per sprite it touches.
    // Setting done stops the pass from descending below the sprite just hit.
    virtual void HandleCollision(TSprite* other, bool& done);
    virtual void Paint();
    virtual void Step(int moveCount);
    // (trunc AbsX, trunc AbsY) with size Width x Height.
    virtual media::Rect GetBounds() const;
    virtual bool AcceptsCollision(TSprite* other) const;
    virtual ~TSprite();

    // Marks the sprite for the next FlushDead; a second Kill changes nothing.
    void Kill();
    // Tests this sprite against the tree and calls HandleCollision for each
    // sprite it touches; returns the number of hits.
    int Collide();
    void MoveTree(int moveCount);
    void DrawTree();

    int Z() const { return z_; }
    // Re-sorts the sprite among its siblings: it goes beneath every sibling
    // that already has the new Z.
    void SetZ(int z);

    double AbsX() const;
    double AbsY() const;

    bool IsDead() const { return isDead_; }

    // Children in insertion order; DrawOrder holds the same sprites sorted by
    // ascending Z.
    const std::vector<std::unique_ptr<TSprite>>& Children() const { return children_; }
    const std::vector<TSprite*>& DrawOrder() const { return drawOrder_; }
    int ChildCount() const { return static_cast<int>(children_.size()); }
    TSprite* Child(int i) const;
    // Destroys the last child again and again until none is left.
    void FreeChildren();

    // Root of the tree; null on the root itself and on sprites without one.
    TSpriteEngine* const Engine;
    TSprite* const Parent;

    bool CanCollide = true;
    bool CanMove = true;
    bool Visible = true;
    // Position relative to the parent, in surface pixels.
    double X = 0.0;
    double Y = 0.0;
    int Width = 0;
    int Height = 0;

private:
    void InsertInDrawOrder(TSprite* child);
    void RemoveFromDrawOrder(TSprite* child);
    // Lets go of a child that is being destroyed.
    void RemoveChild(TSprite* child);
    // One step of this sprite's collision pass: target and its subtree.
    void CollideWith(TSprite* target);

    bool isDead_ = false;
    int z_ = 0;
    std::vector<std::unique_ptr<TSprite>> children_;
    std::vector<TSprite*> drawOrder_;
};

// The root of a sprite tree.
class TSpriteEngine : public TSprite {
public:
    TSpriteEngine();
    ~TSpriteEngine() override;

    // Frees every killed sprite (and with it its children).
    void FlushDead();
    void DrawAll();
    // The display hands over its surface when it has one and null when it
    // lets it go; the last size is kept while there is none.
    void SetSurface(media::Surface* surface);

    int SpriteCount() const { return spriteCount_; }
    const std::vector<TSprite*>& DeadSprites() const { return deadSprites_; }
    int DrawnCount() const { return drawnCount_; }
    media::Surface* Surface() const { return surface_; }
    const media::Rect& SurfaceRect() const { return surfaceRect_; }

    // State of the collision pass that is running (see TSprite::Collide).
    int HitCount = 0;
    bool HitDone = false;
    media::Rect HitRect;
    TSprite* HitSprite = nullptr;

private:
    friend class TSprite;

    int spriteCount_ = 0;
    // Killed sprites, still owned by their parents until FlushDead.
    std::vector<TSprite*> deadSprites_;
    int drawnCount_ = 0;
    media::Surface* surface_ = nullptr;
    media::Rect surfaceRect_;
};

// The sprite as a T, or null. The answer is remembered by the sprite's
// class: a failed dynamic_cast compares class names, and the walks below ask
// it of every sprite several times a step. A class's answer never changes.
template <typename T>
T* SpriteAs(TSprite* sprite) {
    if constexpr (std::is_same_v<std::remove_const_t<T>, TSprite>) {
        return sprite;
    } else {
        thread_local std::vector<std::pair<const std::type_info*, bool>> known;
        const std::type_info* type = &typeid(*sprite);
        for (const auto& [seen, is] : known) {
            if (seen == type) return is ? dynamic_cast<T*>(sprite) : nullptr;
        }
        T* cast = dynamic_cast<T*>(sprite);
        known.emplace_back(type, cast != nullptr);
        return cast;
    }
}

// Calls f for every child of `parent` that is a T (every child when T is
// TSprite), in list order. The count is read once: children that f creates
// wait for the next pass, and f may kill children but never free them. When
// f returns a bool, false ends the walk.
template <typename T = TSprite, typename F>
void ForEachChild(const TSprite& parent, F&& f) {
    const int count = parent.ChildCount();
    for (int i = 0; i < count; ++i) {
        T* child = SpriteAs<T>(parent.Child(i));
        if (child == nullptr) continue;
        if constexpr (std::is_same_v<std::invoke_result_t<F&, T&>, bool>) {
            if (!f(*child)) return;
        } else {
            f(*child);
        }
    }
}

// The main window's sprite engine component: owns the root and runs the
// three steps of a frame on it.
class TDXSpriteEngine {
public:
    TDXSpriteEngine();

    TSpriteEngine* Root() const { return root_.get(); }

    void Move(int moveCount);
    void SweepDead();
    // Draws only while the display has given the root a surface.
    void Draw();

private:
    std::unique_ptr<TSpriteEngine> root_;
};

}  // namespace engine

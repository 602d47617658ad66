#include "engine/sprite.h"

#include <algorithm>
#include <string>

namespace engine {

namespace {

TSpriteEngine* EngineOf(TSprite* parent) {
    if (parent == nullptr) return nullptr;
    if (auto* root = dynamic_cast<TSpriteEngine*>(parent)) return root;
    return parent->Engine;
}

// Overlap means a shared pixel, so an empty rectangle meets nothing (the
// plain edge test alone would let a zero-sized rectangle inside another hit).
bool Meets(const media::Rect& a, const media::Rect& b) {
    return !a.Empty() && !b.Empty() && media::Overlaps(a, b);
}

// Removes one pointer, searching from the back: sprites mostly leave their
// lists in the reverse order of entering them.
void EraseLast(std::vector<TSprite*>& list, TSprite* sprite) {
    auto it = std::find(list.rbegin(), list.rend(), sprite);
    if (it != list.rend()) list.erase(std::next(it).base());
}

}  // namespace

// ---------------------------------------------------------------- TSprite

TSprite::TSprite(TSprite* parent) : Engine(EngineOf(parent)), Parent(parent) {
    if (Parent == nullptr) return;
    // emplace_back either throws before the list owns this sprite or succeeds.
    Parent->children_.emplace_back(this);
    try {
        Parent->InsertInDrawOrder(this);
    } catch (...) {
        // The destructor will not run for a constructor that throws.
        Parent->children_.back().release();
        Parent->children_.pop_back();
        throw;
    }
    if (Engine != nullptr) ++Engine->spriteCount_;
}

TSprite::~TSprite() {
    FreeChildren();
    if (Parent == nullptr) return;
    if (Engine != nullptr) {
        --Engine->spriteCount_;
        if (isDead_) EraseLast(Engine->deadSprites_, this);
    }
    Parent->RemoveChild(this);
}

void TSprite::HandleCollision(TSprite*, bool&) {}

void TSprite::Paint() {}

void TSprite::Step(int) {}

media::Rect TSprite::GetBounds() const {
    const int left = static_cast<int>(AbsX());
    const int top = static_cast<int>(AbsY());
    return {left, top, left + Width, top + Height};
}

bool TSprite::AcceptsCollision(TSprite*) const { return true; }

void TSprite::Kill() {
    if (Engine == nullptr || isDead_) return;
    Engine->deadSprites_.push_back(this);
    isDead_ = true;
}

int TSprite::Collide() {
    if (Engine == nullptr || isDead_ || !CanCollide) return 0;
    TSpriteEngine& root = *Engine;
    root.HitCount = 0;
    root.HitDone = false;
    // Taken once: the handler may move this sprite without changing the pass.
    root.HitRect = GetBounds();
    root.HitSprite = this;
    // HitDone only stops descents; every child of the root is still tested,
    // even after this sprite has been killed by one of its handlers.
    const size_t count = root.children_.size();
    for (size_t i = 0; i < count && i < root.children_.size(); ++i) {
        CollideWith(root.children_[i].get());
    }
    return root.HitCount;
}

void TSprite::CollideWith(TSprite* target) {
    if (!target->CanCollide) return;
    TSpriteEngine& root = *Engine;
    // The target is asked only after this sprite has agreed.
    if (target != this && Meets(target->GetBounds(), root.HitRect) && AcceptsCollision(target) &&
        target->AcceptsCollision(this)) {
        ++root.HitCount;
        HandleCollision(target, root.HitDone);
        if (!CanCollide || isDead_) root.HitDone = true;
    }
    if (root.HitDone) return;
    const size_t count = target->children_.size();
    for (size_t i = 0; i < count && i < target->children_.size(); ++i) {
        CollideWith(target->children_[i].get());
    }
}

// The count is read once: children created by a Step wait for the next pass.
// The second bound only guards against children destroyed outright meanwhile.
void TSprite::MoveTree(int moveCount) {
    if (!CanMove) return;
    Step(moveCount);
    const size_t count = children_.size();
    for (size_t i = 0; i < count && i < children_.size(); ++i) {
        children_[i]->MoveTree(moveCount);
    }
}

void TSprite::DrawTree() {
    if (!Visible) return;
    if (Engine != nullptr && Meets(GetBounds(), Engine->surfaceRect_)) {
        Paint();
        ++Engine->drawnCount_;
    }
    // Children are drawn even when this sprite lies off the surface.
    const size_t count = drawOrder_.size();
    for (size_t i = 0; i < count && i < drawOrder_.size(); ++i) {
        drawOrder_[i]->DrawTree();
    }
}

void TSprite::SetZ(int z) {
    if (z == z_) return;
    if (Parent == nullptr) {
        z_ = z;
        return;
    }
    // The removal leaves room, so the insertion cannot fail.
    Parent->RemoveFromDrawOrder(this);
    z_ = z;
    Parent->InsertInDrawOrder(this);
}

double TSprite::AbsX() const { return Parent == nullptr ? X : X + Parent->AbsX(); }

double TSprite::AbsY() const { return Parent == nullptr ? Y : Y + Parent->AbsY(); }

TSprite* TSprite::Child(int i) const {
    if (children_.empty()) {
        throw ESpriteError("Index of the list exceeds the range. (" + std::to_string(i) + ")");
    }
    if (i < 0 || i >= ChildCount()) {
        throw EListError("List index out of bounds (" + std::to_string(i) + ")");
    }
    return children_[i].get();
}

void TSprite::FreeChildren() {
    // Each child's destructor removes it from children_ (see RemoveChild).
    while (!children_.empty()) delete children_.back().get();
}

// A new sprite goes after every smaller Z and before every equal or larger
// one, so among equal Z the newest entry is drawn beneath the others.
void TSprite::InsertInDrawOrder(TSprite* child) {
    auto pos = std::lower_bound(drawOrder_.begin(), drawOrder_.end(), child->z_,
                                [](const TSprite* s, int z) { return s->z_ < z; });
    drawOrder_.insert(pos, child);
}

void TSprite::RemoveFromDrawOrder(TSprite* child) {
    auto [first, last] = std::equal_range(drawOrder_.begin(), drawOrder_.end(), child,
                                          [](const TSprite* a, const TSprite* b) { return a->z_ < b->z_; });
    auto it = std::find(first, last, child);
    if (it != last) drawOrder_.erase(it);
}

void TSprite::RemoveChild(TSprite* child) {
    auto it = std::find_if(children_.rbegin(), children_.rend(),
                           [child](const std::unique_ptr<TSprite>& c) { return c.get() == child; });
    if (it != children_.rend()) {
        // The child is being destroyed already: the list only lets go of it.
        it->release();
        children_.erase(std::next(it).base());
    }
    RemoveFromDrawOrder(child);
}

// ----------------------------------------------------------- TSpriteEngine

TSpriteEngine::TSpriteEngine() : TSprite(nullptr) {}

// The sprites go first: their destructors still use this engine's lists.
TSpriteEngine::~TSpriteEngine() { FreeChildren(); }

void TSpriteEngine::FlushDead() {
    // Each destructor removes its sprite (and any dead children) from the list.
    while (!deadSprites_.empty()) delete deadSprites_.back();
}

void TSpriteEngine::DrawAll() {
    drawnCount_ = 0;
    DrawTree();
}

void TSpriteEngine::SetSurface(media::Surface* surface) {
    surface_ = surface;
    if (surface_ == nullptr) return;
    surfaceRect_ = {0, 0, surface_->Width(), surface_->Height()};
    Width = surfaceRect_.Width();
    Height = surfaceRect_.Height();
}

// --------------------------------------------------------- TDXSpriteEngine

TDXSpriteEngine::TDXSpriteEngine() : root_(std::make_unique<TSpriteEngine>()) {}

void TDXSpriteEngine::Move(int moveCount) { root_->MoveTree(moveCount); }

void TDXSpriteEngine::SweepDead() { root_->FlushDead(); }

void TDXSpriteEngine::Draw() {
    if (root_->Surface() != nullptr) root_->DrawAll();
}

}  // namespace engine

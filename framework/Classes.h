// Objects, events and components: an owner frees the components it owns.
#pragma once
#include <functional>
#include <string>
#include <vector>

class TObject {
public:
    TObject() = default;
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;
    virtual ~TObject() = default;
    // The class's own name, as window classes are named after it ("TFormBackground").
    std::string ClassName() const;
};

// An event is a nullable callable; handlers take the sender first and change by-reference
// arguments to answer.
using TNotifyEvent = std::function<void(TObject* Sender)>;

class TComponent : public TObject {
public:
    explicit TComponent(TComponent* AOwner);
    ~TComponent() override; // frees the owned components, last created first

    TComponent* Owner() const { return owner_; }
    const std::vector<TComponent*>& Components() const { return components_; }
    std::string Name;

    // Design mode: the behaviours a form designer would show, switched on by tests only.
    bool Designing() const { return designing_; }
    void SetDesigning(bool designing); // this component and everything it owns
    bool Loading() const { return loading_; }

    // Called once a form's design has built all its components.
    virtual void Loaded() { loading_ = false; }
    // Called just before the component is destroyed, while it is still whole.
    virtual void BeforeDestruction() {}
    // Destroys a component the way owners do: BeforeDestruction, then delete.
    static void Free(TComponent* component);

private:
    TComponent* owner_;
    std::vector<TComponent*> components_;
    bool designing_ = false;
    bool loading_ = true;
};

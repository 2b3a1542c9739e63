// Component ownership.
#include "Classes.h"

#include <algorithm>
#include <cctype>
#include <typeinfo>

std::string TObject::ClassName() const {
    // The type name of a class at namespace scope is its length followed by the name.
    std::string name = typeid(*this).name();
    size_t at = 0;
    while (at < name.size() && std::isdigit(static_cast<unsigned char>(name[at])))
        ++at;
    return name.substr(at);
}

TComponent::TComponent(TComponent* AOwner) : owner_(AOwner) {
    if (owner_) {
        owner_->components_.push_back(this);
        designing_ = owner_->designing_;
    }
}

TComponent::~TComponent() {
    while (!components_.empty())
        Free(components_.back()); // each removes itself from the list
    if (owner_) {
        auto& siblings = owner_->components_;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
    }
}

void TComponent::SetDesigning(bool designing) {
    designing_ = designing;
    for (TComponent* component : components_)
        component->SetDesigning(designing);
}

void TComponent::Free(TComponent* component) {
    if (!component) return;
    component->BeforeDestruction();
    delete component;
}

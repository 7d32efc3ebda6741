#pragma once

#include <memory>
#include <vector>

// An event with one owner handler and a list of further handlers, each an object and one of its
// member functions. Firing calls the owner handler with the sender, then the further handlers from
// the last added to the first. Registration allocates; firing does not.
class NotifyEvent {
public:
    class Handler {
    public:
        virtual ~Handler() = default;
        virtual void call(void* sender) const = 0;
        virtual bool refersTo(const void* object) const = 0;
    };

    template <typename T>
    class HandlerImpl : public Handler {
    public:
        using Method = void (T::*)(void* sender);
        HandlerImpl(T* object, Method method) : object_(object), method_(method) {}
        void call(void* sender) const override { (object_->*method_)(sender); }
        bool refersTo(const void* object) const override { return object == object_; }

    private:
        T* object_;
        Method method_;
    };

    NotifyEvent() = default;
    NotifyEvent(const NotifyEvent&) = delete;
    NotifyEvent& operator=(const NotifyEvent&) = delete;

    template <typename T>
    void setOwnerHandler(T* object, typename HandlerImpl<T>::Method method) {
        owner_ = std::make_unique<HandlerImpl<T>>(object, method);
    }
    void clearOwnerHandler() { owner_.reset(); }

    template <typename T>
    void addHandler(T* object, typename HandlerImpl<T>::Method method) {
        handlers_.push_back(std::make_unique<HandlerImpl<T>>(object, method));
    }

    // Removes every further handler that calls into this object.
    void removeHandlers(const void* object);

    bool hasHandlers() const { return owner_ || !handlers_.empty(); }

    void fire(void* sender) const;

private:
    std::unique_ptr<Handler> owner_;
    std::vector<std::unique_ptr<Handler>> handlers_;
};

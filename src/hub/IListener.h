#pragma once
// A receiver of hub messages. update runs on the hub worker; the payload is
// never null and valid only during the call, so whatever a listener keeps,
// or hands to a UI task, it copies.

struct MessageParam;

class IListener {
public:
    virtual ~IListener() = default;
    virtual void update(int code, const MessageParam* payload)
    {
        (void)code;
        (void)payload;
    }
};

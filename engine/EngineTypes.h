#pragma once

// Raw value types of the engine's indexed parameters.
enum DelaySync { SyncFree = 0, SyncTwoNotes = 1, SyncNote = 2, SyncHalfNote = 3, SyncQuarterNote = 4 };
enum FeedbackInvert { FeedbackNormal = 0, FeedbackInverted = 1 };
enum DelayLinkState { LinkSeparate = 0, LinkLinked = 1 };
enum FilterRouting { RoutingSerial = 0, RoutingParallel = 1, RoutingPerChannel = 2 };

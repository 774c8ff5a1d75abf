RecordingDialog {}

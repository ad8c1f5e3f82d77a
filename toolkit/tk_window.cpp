// placeholder: replaced by the area's implementation

<?xml version="1.0"?>
<!DOCTYPE ColorCorrection [
<!ENTITY secret SYSTEM "file:///etc/passwd">
<!ENTITY a "1 1 1">
<!ENTITY b "&a;&a;&a;&a;">
]>
<ColorCorrection id="&secret;"><SOPNode><Slope>&b;</Slope><Power>1e999 nan +1</Power></SOPNode></ColorCorrection>

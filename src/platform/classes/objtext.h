#pragma once
// The text form of component streams and its conversion to and from the binary
// form. The two are exact inverses: text made from a stream converts back to the
// same bytes, and converting that text again gives the same text.
//
//   object Chart1: TChart
//     Title.Text.Strings = (
//       'Reading')
//     Color = clWhite
//     Data = {
//       0102A0}
//     object Series1: TLineSeries
//     end
//   end
class TStream;

// Reads the signature and one component from Input's position and writes its
// text (CR LF line ends) to Output. Damage raises EReadError.
void ObjectBinaryToText(TStream* Input, TStream* Output);
// Reads one component in text form from Input's position and writes the
// signature and its binary form to Output. Syntax errors raise EReadError with
// the line number.
void ObjectTextToBinary(TStream* Input, TStream* Output);

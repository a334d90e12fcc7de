object StdTestFrame: TStdTestFrame
  Left = 0
  Top = 0
  Width = 200
  Height = 60
  object FrameLabel: TLabel
    Left = 8
    Top = 8
    Caption = 'Inside a frame'
  end
  object FrameCheck: TCheckBox
    Left = 8
    Top = 30
    Width = 150
    Height = 17
    Caption = 'Frame option'
    Checked = True
    TabOrder = 0
  end
end

//+------------------------------------------------------------------+
//| GridExpert.mq4 - places a grid of pending orders around price     |
//+------------------------------------------------------------------+
#property copyright "Northwind Trading Tools"
#property version   "2.50"
#property strict

input double GridStep   = 20;   // distance between levels, in points
input int    GridLevels = 5;    // levels above and below the price
input double Lots       = 0.10;

int OnInit()
  {
   return(INIT_SUCCEEDED);
  }

void OnTick()
  {
   if(OrdersTotal() > 0)
      return;
   for(int i = 1; i <= GridLevels; i++)
     {
      double up   = Ask + i * GridStep * Point;
      double down = Bid - i * GridStep * Point;
      OrderSend(Symbol(), OP_BUYSTOP,  Lots, up,   3, 0, 0, "grid", 0, 0, clrGreen);
      OrderSend(Symbol(), OP_SELLSTOP, Lots, down, 3, 0, 0, "grid", 0, 0, clrRed);
     }
  }
